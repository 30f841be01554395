#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class Session;

// A command's own part of the command line, options already taken apart.
struct Arguments
{
    QStringList positional;
    QHash<QString, QString> values; // options with a value, by name without "--"
    QSet<QString> flags;            // options without one

    bool has(const QString &flag) const { return flags.contains(flag); }
};

// What a command needs from the command line and the text of its --help.
struct Command
{
    QString name;
    QString synopsis;
    QString summary;
    QString details;
    int minimumArguments = 0;
    int maximumArguments = 0; // -1: any number
    QStringList valueOptions;
    QStringList flagOptions;
    bool needsGame = true;
    int (*run)(Session &session, const Arguments &arguments) = nullptr;
    bool locatesGame = false; // finds the game even when it does not need one
};

const QList<Command> &commands();

int runAircraftCommand(Session &session, const Arguments &arguments);
int runPaintsCommand(Session &session, const Arguments &arguments);
int runApplyCommand(Session &session, const Arguments &arguments);
int runRestoreCommand(Session &session, const Arguments &arguments);
int runAdoptCommand(Session &session, const Arguments &arguments);
int runAddCommand(Session &session, const Arguments &arguments);
int runRemoveCommand(Session &session, const Arguments &arguments);
int runCheckCommand(Session &session, const Arguments &arguments);
int runPreviewCommand(Session &session, const Arguments &arguments);
int runInstallCommand(Session &session, const Arguments &arguments);
int runInfoCommand(Session &session, const Arguments &arguments);
int runSetCommand(Session &session, const Arguments &arguments);
