#include "UndecodableNames.h"

#include <QFile>

#include <dirent.h>

namespace {

// The length of the UTF-8 sequence at `at`, or 0 when none begins there.
qsizetype sequenceAt(const QByteArray &raw, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return i < raw.size() ? uchar(raw.at(i)) : 0; };
    const uchar lead = byte(at);
    const qsizetype length = lead < 0x80 ? 1 : (lead & 0xe0) == 0xc0 ? 2 : (lead & 0xf0) == 0xe0 ? 3
                                                                     : (lead & 0xf8) == 0xf0 ? 4 : 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80)
            return 0;
    }
    // Overlong and surrogate forms decode to other text than they are.
    const QByteArray sequence = raw.mid(at, length);
    return length && QString::fromUtf8(sequence).toUtf8() == sequence ? length : 0;
}

QString shownEscaped(const QByteArray &raw)
{
    QString shown;
    for (qsizetype i = 0; i < raw.size();) {
        if (const qsizetype length = sequenceAt(raw, i)) {
            shown += QString::fromUtf8(raw.mid(i, length));
            i += length;
        } else {
            shown += QStringLiteral("\\x") + QString::number(uchar(raw.at(i)), 16).rightJustified(2, u'0').toUpper();
            ++i;
        }
    }
    return shown;
}

} // namespace

QStringList undecodableNames(const QString &folder)
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (QString::fromUtf8(raw).toUtf8() != raw)
            names << shownEscaped(raw);
    }
    ::closedir(dir);
    return names;
}
