#include "TerminalText.h"

QString terminalText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t' || u == u'\n')
            shown += c;
        else if (u < 0x20)
            shown += u'^' + QChar(char16_t(u + 0x40));
        else if (u == 0x7f)
            shown += QStringLiteral("^?");
        else if (u >= 0x80 && u < 0xa0)
            shown += QStringLiteral("<%1>").arg(int(u), 2, 16, QChar(u'0')).toUpper();
        else
            shown += c;
    }
    return shown;
}
