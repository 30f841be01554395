#include "TextEditor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A program on the test's PATH that notes how it was called, then ends with
// the given code.
void fakeProgram(const QString &folder, const QString &name, const QString &log, int exitCode = 0,
                 const QString &output = {})
{
    QFile script(folder + '/' + name);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"${0##*/} $*\" >> '%1'\n%2exit %3\n")
                     .arg(log, output.isEmpty() ? QString() : "echo '" + output + "'\n")
                     .arg(exitCode)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeUser));
}

QString readLog(const QString &log)
{
    QFile file(log);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

} // namespace

class TestTextEditor : public QObject
{
    Q_OBJECT

private slots:
    void fallsBackInOrder_data();
    void fallsBackInOrder();
};

void TestTextEditor::fallsBackInOrder_data()
{
    // Programs on the PATH: name, or name=exit code. The expected log names
    // the file as %F and the desktop entry as %D.
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QString>("visual");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("expected");

    QTest::newRow("desktop default first")
        << QStringList{"xdg-mime", "gio", "gedit", "vim", "x-terminal-emulator"} << "vim" << ""
        << true << "xdg-mime query default text/plain\ngio launch %D %F";
    QTest::newRow("launcher fails: graphical editor")
        << QStringList{"xdg-mime", "gio=1", "kate", "gedit"} << "" << "" << true
        << "xdg-mime query default text/plain\ngio launch %D %F\ngedit %F";
    QTest::newRow("terminal editor in a terminal")
        << QStringList{"vim", "x-terminal-emulator"} << "vim -p" << "" << true
        << "x-terminal-emulator -e vim -p %F";
    QTest::newRow("EDITOR when VISUAL is not installed")
        << QStringList{"nano", "xterm"} << "absent-editor" << "nano" << true << "xterm -e nano %F";
    QTest::newRow("terminal editor but no terminal")
        << QStringList{"vim"} << "vim" << "" << false << "";
    QTest::newRow("nothing at all") << QStringList{} << "" << "" << false << "";
}

void TestTextEditor::fallsBackInOrder()
{
    QFETCH(QStringList, programs);
    QFETCH(QString, visual);
    QFETCH(QString, editor);
    QFETCH(bool, started);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString bin = dir.filePath("bin");
    const QString log = dir.filePath("log");
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QDir().mkpath(dir.filePath("share/applications")));
    const QString entry = dir.filePath("share/applications/fake-editor.desktop");
    QFile desktop(entry);
    QVERIFY(desktop.open(QIODevice::WriteOnly));
    desktop.write("[Desktop Entry]\nType=Application\nName=Fake\nExec=fake %F\n");
    desktop.close();
    for (const QString &program : programs) {
        const QString name = program.section('=', 0, 0);
        const int code = program.section('=', 1).toInt();
        fakeProgram(bin, name, log, code, name == "xdg-mime" ? "fake-editor.desktop" : QString());
    }

    qputenv("PATH", bin.toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir.filePath("share").toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dir.filePath("none").toLocal8Bit());
    qputenv("VISUAL", visual.toLocal8Bit());
    qputenv("EDITOR", editor.toLocal8Bit());

    const QString file = dir.filePath("My Aircraft/P51.pnt"); // a space: one argument all the same
    QCOMPARE(openInTextEditor(file), started);
    expected.replace("%F", file).replace("%D", entry);
    // Editors are started without waiting; give them time to leave their note.
    QTRY_COMPARE(readLog(log), expected);
    if (expected.isEmpty()) {
        QTest::qWait(200);
        QCOMPARE(readLog(log), QString());
    }
}

QTEST_GUILESS_MAIN(TestTextEditor)
#include "tst_TextEditor_unix.moc"
