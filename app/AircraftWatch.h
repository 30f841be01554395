#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Watches the selected aircraft's paint list and main texture for changes
// made outside this window (the command line, another window, an editor, an
// update of the aircraft) and says so once they have settled. Changes the
// window made itself are not reported: after each of its own changes it
// calls remember(), and only a state unlike the remembered one counts.
class AircraftWatch : public QObject
{
    Q_OBJECT

public:
    explicit AircraftWatch(QObject *parent = nullptr);

    // Starts over with these files (empty paths: watch nothing) and
    // remembers their state as known.
    void watch(const QString &paintListPath, const QString &mainTexturePath);
    // The files as they are now are the window's own doing.
    void remember();

signals:
    void changedOutside();

private:
    QByteArray currentState() const;
    void rewatch();
    void settle();

    QFileSystemWatcher *m_watcher;
    QTimer *m_settle;
    QString m_list;
    QString m_mainTexture;
    QByteArray m_known;
};
