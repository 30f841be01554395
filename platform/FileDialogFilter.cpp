#include "FileDialogFilter.h"

namespace {
QString anyCasePattern(const QString &pattern)
{
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}
} // namespace

QString anyCaseFilter(const QString &description, const QStringList &patterns)
{
    QStringList converted;
    for (const QString &pattern : patterns)
        converted << anyCasePattern(pattern);
    return description + QStringLiteral(" (") + converted.join(QLatin1Char(' ')) + QLatin1Char(')');
}
