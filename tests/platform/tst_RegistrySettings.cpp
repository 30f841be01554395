#include "RegistrySettingsStore.h"

#include <QtTest>

#include <windows.h>

// The player's settings store on Windows, under a root of the test's own.
class RegistrySettingsTest : public QObject
{
    Q_OBJECT

    const QString root = QStringLiteral("Software\\CorvaneTests\\Settings-%1").arg(GetCurrentProcessId());

    static int integerOf(SettingsStore &store, int fallback)
    {
        int value = fallback;
        return store.readInteger("Corvane", "Top", value) ? value : -1;
    }
    static QString textOf(SettingsStore &store, const QString &fallback)
    {
        QString text = fallback;
        return store.readText("Corvane", "CFSPath", text) ? text : QString("<unreadable>");
    }

    void setRaw(const wchar_t *name, DWORD type, const void *data, DWORD size)
    {
        const std::wstring section = (root + QStringLiteral("\\Corvane")).toStdWString();
        HKEY key = nullptr;
        QCOMPARE(RegCreateKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                 nullptr), long(ERROR_SUCCESS));
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE *>(data), size);
        RegCloseKey(key);
    }

private slots:
    void cleanup() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\CorvaneTests"); }

    void openingCreatesTheRootAndMissingValuesGiveTheDefault()
    {
        RegistrySettingsStore store(root);
        HKEY key = nullptr;
        QCOMPARE(RegOpenKeyExW(HKEY_CURRENT_USER, root.toStdWString().c_str(), 0, KEY_READ, &key), long(ERROR_SUCCESS));
        RegCloseKey(key);
        QCOMPARE(integerOf(store, 40), 40);
        QCOMPARE(textOf(store, "<missing>"), QString("<missing>"));
    }

    void valuesComeBackAsWritten()
    {
        {
            RegistrySettingsStore store(root);
            QVERIFY(store.writeInteger("Corvane", "Top", -12));
            QVERIFY(store.writeText("Corvane", "CFSPath", QString::fromUtf8("C:\\Игры\\CFS3\\")));
        }
        RegistrySettingsStore reopened(root);
        QCOMPARE(integerOf(reopened, 40), -12);
        QCOMPARE(textOf(reopened, ""), QString::fromUtf8("C:\\Игры\\CFS3\\"));
    }

    void hexadecimalTextIsReadAsANumber()
    {
        const wchar_t text[] = L"0x20";
        setRaw(L"Top", REG_SZ, text, sizeof text);
        RegistrySettingsStore store(root);
        QCOMPARE(integerOf(store, 40), 32);
    }

    void aNumberStoredAsANumberIsTheWrongType()
    {
        const DWORD number = 32;
        setRaw(L"Top", REG_DWORD, &number, sizeof number);
        RegistrySettingsStore store(root);
        int top = 40;
        const PaintResult read = store.readInteger("Corvane", "Top", top);
        QVERIFY2(!read, "a DWORD was read as a setting");
        QCOMPARE(read.message(), QString("Invalid data type for 'Top'"));
        QCOMPARE(top, 40);
    }
};

QTEST_GUILESS_MAIN(RegistrySettingsTest)
#include "tst_RegistrySettings.moc"
