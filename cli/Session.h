#pragma once

#include "GameLocation.h"
#include "Hangar.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

// One run of the command line: the game, the output streams and what the
// command reports. With --json everything a command reports goes into one
// document printed at the end; without it, lines go out as they come.
class Session
{
public:
    Session(QTextStream &out, QTextStream &err, bool json);

    Hangar hangar;
    GameLocation::Origin gameOrigin;
    bool json;
    QJsonObject document;

    // Text mode only: one line on standard output.
    void print(const QString &line);
    // A failure of the work: on standard error (and in the document's
    // "errors"), counted for the exit status.
    void fail(const PaintResult &result);
    void fail(const QString &reason) { fail(PaintResult::failure(QString(), reason)); }
    void fail(const QString &file, const QString &reason) { fail(PaintResult::failure(file, reason)); }
    bool failed() const { return m_failures > 0; }

    // The aircraft a name means, or -1 after telling why none could be picked
    // (unknown or ambiguous, with the candidates).
    int aircraftNamed(const QString &name);
    // Every aircraft the names mean, in their order; nothing after telling
    // why the first name that picks none could not be taken.
    std::optional<QList<int>> aircraftNamed(const QStringList &names);
    // A row of the selected aircraft by its number or its name; rows below
    // `firstRow` are not candidates. -1 after telling why.
    int paintRowNamed(const QString &text, int firstRow);

    QJsonObject describeAircraft(int index);

    // Standard error, for what shows the work going on (never the results).
    QTextStream &errorStream() { return m_err; }

    // Prints the document (JSON mode) and gives the exit status.
    int finish();

private:
    QString aircraftLabel(int index) const;

    QTextStream &m_out;
    QTextStream &m_err;
    QJsonArray m_errors;
    int m_failures = 0;
};
