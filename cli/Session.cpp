#include "Session.h"

#include "ClosestNames.h"
#include "ExitStatus.h"
#include "GameFiles.h"
#include "TerminalText.h"

#include <QFileInfo>
#include <QJsonDocument>

namespace {
// Enough to spot a misspelt name; the full list is a command away.
constexpr int MostNamesSuggested = 10;
} // namespace

Session::Session(QTextStream &out, QTextStream &err, bool json)
    : json(json)
    , m_out(out)
    , m_err(err)
{
}

void Session::print(const QString &line)
{
    if (!json)
        m_out << terminalText(line) << Qt::endl;
}

void Session::fail(const PaintResult &result)
{
    ++m_failures;
    // Reasons written for a message box may run over several lines.
    m_err << "corvane-cli: "
          << terminalText(result.line().replace(QStringLiteral("\n\n"), QStringLiteral(" ")).replace(u'\n', u' '))
          << Qt::endl;
    m_errors.append(QJsonObject{{QStringLiteral("file"), result.file}, {QStringLiteral("reason"), result.reason}});
}

QString Session::aircraftLabel(int index) const
{
    return QStringLiteral("%1 (folder %2, %3)")
        .arg(hangar.aircraft().at(index).title, hangar.folderNameOf(index),
             QFileInfo(hangar.aircraft().at(index).paintListPath).fileName());
}

std::optional<QList<int>> Session::aircraftNamed(const QStringList &names)
{
    QList<int> chosen;
    for (const QString &name : names) {
        const int index = aircraftNamed(name);
        if (index < 0)
            return std::nullopt;
        chosen.append(index);
    }
    return chosen;
}

int Session::aircraftNamed(const QString &name)
{
    const QList<int> found = hangar.find(name);
    if (found.size() == 1)
        return found.constFirst();

    QStringList candidates;
    if (found.isEmpty()) {
        QList<QStringList> names;
        for (int index = 0; index < hangar.aircraft().size(); ++index)
            names << QStringList{hangar.aircraft().at(index).title, hangar.folderNameOf(index), hangar.baseNameOf(index)};
        for (int index : ClosestNames::nearest(name, names, MostNamesSuggested))
            candidates << aircraftLabel(index);
        if (candidates.isEmpty()) {
            fail(QStringLiteral("No aircraft is called \"%1\": the game's Aircraft folder holds none.").arg(name));
        } else if (names.size() > MostNamesSuggested) {
            fail(QStringLiteral("No aircraft is called \"%1\". The closest of the %2 aircraft: %3. \"corvane-cli aircraft\" lists them all.")
                     .arg(name).arg(names.size()).arg(candidates.join(QStringLiteral("; "))));
        } else {
            fail(QStringLiteral("No aircraft is called \"%1\". The aircraft are: %2").arg(name, candidates.join(QStringLiteral("; "))));
        }
    } else {
        for (int index : found)
            candidates << aircraftLabel(index);
        fail(QStringLiteral("\"%1\" names more than one aircraft: %2. Name one by its list file's name or its title.")
                 .arg(name, candidates.join(QStringLiteral("; "))));
    }
    return -1;
}

int Session::paintRowNamed(const QString &text, int firstRow)
{
    const PaintTable &table = hangar.paintTable();
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber) {
        if (number >= firstRow && number < table.rowCount())
            return number;
        fail(QStringLiteral("There is no paint row %1 (rows %2 to %3).").arg(number).arg(firstRow).arg(table.rowCount() - 1));
        return -1;
    }

    QList<int> found;
    QStringList names;
    for (int row = firstRow; row < table.rowCount(); ++row) {
        names << QStringLiteral("%1 %2").arg(row).arg(table.displayText(row));
        if (table.displayText(row).compare(text, Qt::CaseInsensitive) == 0)
            found.append(row);
    }
    if (found.size() == 1)
        return found.constFirst();
    if (found.isEmpty()) {
        fail(QStringLiteral("No paint is called \"%1\". The rows are: %2")
                 .arg(text, names.isEmpty() ? QStringLiteral("(none)") : names.join(QStringLiteral("; "))));
    } else {
        QStringList rows;
        for (int row : found)
            rows << QString::number(row);
        fail(QStringLiteral("\"%1\" names more than one paint (rows %2). Use the row number.")
                 .arg(text, rows.join(QStringLiteral(", "))));
    }
    return -1;
}

QJsonObject Session::describeAircraft(int index)
{
    const AircraftEntry &entry = hangar.aircraft().at(index);
    QJsonObject aircraft{
        {QStringLiteral("title"), entry.title},
        {QStringLiteral("folder"), hangar.folderNameOf(index)},
        {QStringLiteral("name"), hangar.baseNameOf(index)},
        {QStringLiteral("paintList"), QDir::toNativeSeparators(entry.paintListPath)},
        {QStringLiteral("hasPaintList"), entry.hasPaintList},
    };
    if (hangar.select(index)) {
        aircraft.insert(QStringLiteral("paints"), int(hangar.paintTable().paints().size()));
        aircraft.insert(QStringLiteral("installed"), hangar.installedLabel());
    } else {
        aircraft.insert(QStringLiteral("paints"), QJsonValue());
        aircraft.insert(QStringLiteral("installed"), QStringLiteral("unknown"));
    }
    return aircraft;
}

int Session::finish()
{
    if (json) {
        document.insert(QStringLiteral("ok"), !failed());
        document.insert(QStringLiteral("errors"), m_errors);
        m_out << QJsonDocument(document).toJson(QJsonDocument::Indented);
        m_out.flush();
    }
    return failed() ? ExitStatus::Failed : ExitStatus::Success;
}
