#include "RegistrySettingsStore.h"

#include <QtTest>

#include <windows.h>

// The player's settings store on Windows, under a root of the test's own.
class RegistrySettingsTest : public QObject
{
    Q_OBJECT

    const QString root = QStringLiteral("Software\\CorvaneTests\\Settings-%1").arg(GetCurrentProcessId());

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
        QCOMPARE(store.readInteger("Corvane", "Top", 40), 40);
        QCOMPARE(store.readText("Corvane", "CFSPath", ""), QString(""));
    }

    void valuesComeBackAsWritten()
    {
        {
            RegistrySettingsStore store(root);
            store.writeInteger("Corvane", "Top", -12);
            store.writeText("Corvane", "CFSPath", QString::fromUtf8("C:\\Игры\\CFS3\\"));
        }
        RegistrySettingsStore reopened(root);
        QCOMPARE(reopened.readInteger("Corvane", "Top", 40), -12);
        QCOMPARE(reopened.readText("Corvane", "CFSPath", ""), QString::fromUtf8("C:\\Игры\\CFS3\\"));
    }

    void hexadecimalTextIsReadAsANumber()
    {
        const wchar_t text[] = L"0x20";
        setRaw(L"Top", REG_SZ, text, sizeof text);
        RegistrySettingsStore store(root);
        QCOMPARE(store.readInteger("Corvane", "Top", 40), 32);
    }

    void aNumberStoredAsANumberIsTheWrongType()
    {
        const DWORD number = 32;
        setRaw(L"Top", REG_DWORD, &number, sizeof number);
        RegistrySettingsStore store(root);
        try {
            store.readInteger("Corvane", "Top", 40);
            QFAIL("a DWORD was read as a setting");
        } catch (const SettingsError &error) {
            QCOMPARE(error.message(), QString("Invalid data type for 'Top'"));
        }
    }
};

QTEST_GUILESS_MAIN(RegistrySettingsTest)
#include "tst_RegistrySettings.moc"
