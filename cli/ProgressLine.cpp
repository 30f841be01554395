#include "ProgressLine.h"

#include "TerminalText.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr qsizetype MostNameLength = 50;

bool isTerminal(QTextStream &stream)
{
    const auto *file = qobject_cast<const QFile *>(stream.device());
    if (!file || file->handle() < 0)
        return false;
#ifdef Q_OS_WIN
    return _isatty(file->handle()) != 0;
#else
    return isatty(file->handle()) != 0;
#endif
}

} // namespace

ProgressLine::ProgressLine(QTextStream &err) : m_err(err), m_enabled(isTerminal(err)) {}

ProgressLine::~ProgressLine()
{
    end();
}

void ProgressLine::follow(InstallProgress &progress, const QString &action)
{
    if (!m_enabled)
        return;
    progress.report = [this, action](int done, int total, const QString &current) {
        show(text(action, done, total, current));
    };
}

void ProgressLine::end()
{
    if (m_shownLength == 0)
        return;
    m_err << '\n';
    m_err.flush();
    m_shownLength = 0;
}

QString ProgressLine::text(const QString &action, int done, int total, const QString &current)
{
    QString line = action;
    if (total > 0)
        line += QStringLiteral(" %1/%2").arg(done).arg(total);
    if (!current.isEmpty()) {
        // The end of a long path tells most: the file and its folder.
        QString name = terminalText(current);
        if (name.size() > MostNameLength)
            name = QStringLiteral("…") + name.right(MostNameLength - 1);
        line += QStringLiteral(": ") + name;
    }
    return line;
}

void ProgressLine::show(const QString &text)
{
    // Spaces rub out what a longer line before left behind.
    const qsizetype leftOver = std::max<qsizetype>(0, m_shownLength - text.size());
    m_err << '\r' << text << QString(leftOver, u' ');
    m_err.flush();
    m_shownLength = std::max<qsizetype>(text.size(), 1);
}
