#pragma once

#include "TempTree.h"
#include "TestGame.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

// A game folder as a stranger's download leaves it: the aircraft P51 with a
// definition, a main texture, two paints and a list, and beside the game a
// folder of the player's own files that nothing may ever touch. The test
// bends the aircraft folder into something hostile, runs an operation, and
// then checks what the player must be able to rely on.
class HostileDownload
{
public:
    HostileDownload()
    {
        game = m_dir.filePath("game/");
        outside = m_dir.filePath("home/");
        aircraft = TestGame::addAircraft(game, "P51", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}});
        TempTree::writeFile(outside + "secret.dds", "the player's own file");
        TempTree::writeFile(outside + "notes.pnt", "the player's notes");
        TempTree::writeFile(aircraft + "P51_t.dds.bak", TestGame::texture("original P51"));
        m_outsideBefore = snapshot(m_dir.path(), aircraft);
        m_aircraftBefore = snapshot(aircraft, QString());
    }

    bool isValid() const { return m_dir.isValid(); }

    QString game;
    QString outside;
    QString aircraft;

    QString list() const { return aircraft + "P51.pnt"; }

    // Windows makes shortcuts, not links, without privileges, and keeps pipes
    // out of folders: a case that needs either skips there with this reason.
    QString cannotBuildHere;

    void makeLink(const QString &target, const QString &link)
    {
#ifdef Q_OS_WIN
        Q_UNUSED(target);
        Q_UNUSED(link);
        cannotBuildHere = "needs a link the file system follows, which needs privileges here";
#else
        QFile::link(target, link);
#endif
    }
    void replaceWithLink(const QString &name, const QString &target)
    {
        QFile::remove(aircraft + name);
        QDir(aircraft + name).removeRecursively();
        makeLink(target, aircraft + name);
        rememberAircraft();
    }
    void replaceWithPipe(const QString &name)
    {
#ifdef Q_OS_WIN
        Q_UNUSED(name);
        cannotBuildHere = "needs a named pipe inside a folder, which Windows has not";
#else
        QFile::remove(aircraft + name);
        ::mkfifo(QFile::encodeName(aircraft + name).constData(), 0600);
        rememberAircraft();
#endif
    }
    void replaceWithFolder(const QString &name)
    {
        QFile::remove(aircraft + name);
        QDir().mkpath(aircraft + name);
        rememberAircraft();
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile::remove(aircraft + name);
        TempTree::writeFile(aircraft + name, bytes);
        rememberAircraft();
    }
    void rememberAircraft() { m_aircraftBefore = snapshot(aircraft, QString()); }
    void rememberOutside() { m_outsideBefore = snapshot(m_dir.path(), aircraft); }

    // Nothing outside the aircraft folder changed, not even a new file.
    QString outsideChanges() const { return changes(m_outsideBefore, snapshot(m_dir.path(), aircraft)); }
    // Nothing of the aircraft's changed, but the files given, and no
    // temporary file was left.
    QString aircraftChanges(const QStringList &allowedToChange = {}) const
    {
        QMap<QString, QString> before = m_aircraftBefore;
        QMap<QString, QString> after = snapshot(aircraft, QString());
        for (const QString &name : allowedToChange) {
            before.remove(name);
            after.remove(name);
        }
        return changes(before, after);
    }
    QByteArray read(const QString &name) const { return TempTree::readFile(aircraft + name); }

private:
    static QString describe(const QFileInfo &info)
    {
        if (info.isSymLink())
            return "link to " + info.symLinkTarget();
        if (info.isDir())
            return "folder";
        if (!info.isFile())
            return "special file"; // never opened: it may be a pipe
        if (info.size() > 4 * 1024 * 1024) // a test-made giant: not worth reading
            return QString("file of %1 bytes").arg(info.size());
        return "file " + QString::fromLatin1(TempTree::readFile(info.filePath()).toHex());
    }

    static QMap<QString, QString> snapshot(const QString &root, const QString &skip)
    {
        QMap<QString, QString> entries;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info = it.nextFileInfo();
            const QString path = info.filePath();
            if (!skip.isEmpty() && (path + "/").startsWith(skip))
                continue;
            entries.insert(QDir(root).relativeFilePath(path), describe(info));
        }
        return entries;
    }

    static QString changes(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
    {
        QStringList found;
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (!after.contains(it.key()))
                found << "lost " + it.key();
            else if (after.value(it.key()) != it.value())
                found << "changed " + it.key();
        }
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!before.contains(it.key()))
                found << "new " + it.key();
        }
        return found.join(", ");
    }

    QTemporaryDir m_dir;
    QMap<QString, QString> m_outsideBefore;
    QMap<QString, QString> m_aircraftBefore;
};
