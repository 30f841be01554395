#pragma once

// A scene for the preview's tests: a folder of paints, a temporary folder the
// control must leave clean, and the stand-in conversion library's log.

#include "TThumbnail.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class PreviewScene
{
public:
    PreviewScene()
    {
        QDir(root.path()).mkpath("paints");
        QDir(root.path()).mkpath("temp");
        qputenv("TEMP", temp().toLocal8Bit());
        qunsetenv("TMP");
        qputenv("FAKE_KORRAD_LOG", logPath().toLocal8Bit());
        for (const char *name : {"FAKE_KORRAD_SIZE", "FAKE_KORRAD_VALID", "FAKE_KORRAD_CONVERT", "FAKE_KORRAD_GARBAGE"})
            qunsetenv(name);
    }
    ~PreviewScene()
    {
        qunsetenv("TEMP");
        qunsetenv("TMP");
        qunsetenv("FAKE_KORRAD_LOG");
    }

    QString temp() const { return root.filePath("temp"); }
    QString paint(const QString &name) const { return root.filePath("paints/" + name); }
    QString logPath() const { return root.filePath("calls.log"); }
    QString path(const QString &relative) const { return root.filePath(relative); }

    // Calls the stand-in library received, "entry|source|..." one a line.
    QStringList calls() const
    {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    QStringList callsFor(const QString &source) const
    {
        QStringList found;
        for (const QString &call : calls())
            if (call.section(u'|', 1, 1) == source)
                found << call;
        return found;
    }
    QStringList conversions() const
    {
        QStringList found;
        for (const QString &call : calls())
            if (!call.startsWith("valid|"))
                found << call;
        return found;
    }
    void forgetCalls() const { QFile::remove(logPath()); }

    QStringList leftInTemp() const
    {
        return QDir(temp()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    // A control that loads the stand-in library.
    static void useFake(TThumbnail &thumbnail, const char *library = "fakekorrad")
    {
        thumbnail.SetLibraryName(QString::fromLatin1(library));
    }

    QTemporaryDir root;
};
