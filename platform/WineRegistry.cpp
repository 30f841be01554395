#include "WineRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Section headers double every backslash: [Software\\Microsoft\\...] 1700000000
QString sectionKeyOf(const QString &line)
{
    const qsizetype end = line.lastIndexOf(QLatin1Char(']'));
    if (end < 1)
        return QString();
    QString key = line.mid(1, end - 1);
    key.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return key;
}

// A value line: "Name"="text" or "Name"=str(2):"text". Gives the name and
// the rest after '='; false for anything else (dwords, hex, default values).
bool splitValueLine(const QString &line, QString *name, QString *text)
{
    if (!line.startsWith(QLatin1Char('"')))
        return false;
    qsizetype i = 1;
    while (i < line.size() && line[i] != QLatin1Char('"')) {
        if (line[i] == QLatin1Char('\\'))
            ++i;
        ++i;
    }
    if (i >= line.size() || i + 1 >= line.size() || line[i + 1] != QLatin1Char('='))
        return false;
    *name = unescapeWineString(QStringView(line).mid(1, i - 1));
    QStringView rest = QStringView(line).mid(i + 2);
    if (rest.startsWith(QLatin1String("str(2):")))
        rest = rest.mid(7);
    if (rest.size() < 2 || !rest.startsWith(QLatin1Char('"')))
        return false;
    const qsizetype close = rest.lastIndexOf(QLatin1Char('"'));
    if (close < 1)
        return false;
    *text = unescapeWineString(rest.mid(1, close - 1));
    return true;
}

// Windows paths ignore letter case; a prefix copied from Windows may hold
// "Program Files" where the registry says "PROGRAM FILES".
QString descendIgnoringCase(const QString &base, const QStringList &parts)
{
    QString path = base;
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        QString next = path + QLatin1Char('/') + part;
        if (!QFileInfo::exists(next)) {
            const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = path + QLatin1Char('/') + entry;
                    break;
                }
            }
        }
        path = next;
    }
    return path;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

} // namespace

QString unescapeWineString(QStringView quoted)
{
    QString out;
    out.reserve(quoted.size());
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        const QChar c = quoted[i];
        if (c != QLatin1Char('\\') || i + 1 >= quoted.size()) {
            out += c;
            continue;
        }
        const QChar e = quoted[++i];
        switch (e.unicode()) {
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        case '0': out += QChar(0); break;
        case 'x': {
            qsizetype j = i + 1;
            uint code = 0;
            int digit = 0;
            while (j < quoted.size() && j < i + 5 && (digit = hexDigit(quoted[j])) >= 0) {
                code = code * 16 + uint(digit);
                ++j;
            }
            if (j == i + 1) {
                out += e;
            } else {
                out += QChar(char16_t(code));
                i = j - 1;
            }
            break;
        }
        default: out += e; break; // \\ and \" and anything unknown
        }
    }
    return out;
}

WineRegistry::WineRegistry(const QString &prefixFolder)
    : m_prefix(prefixFolder)
{
}

PaintResult WineRegistry::machineText(const QString &keyPath, const QString &valueName, QString &text) const
{
    const QString path = m_prefix + QStringLiteral("/system.reg");
    const QFileInfo info(path);
    auto skip = [&](const QString &why) {
        return PaintResult::failure(path, QStringLiteral("%1 %2, so it was skipped.").arg(QDir::toNativeSeparators(path), why));
    };
    if (!info.exists())
        return PaintResult::success(path);
    if (!info.isFile())
        return skip(QStringLiteral("is not a regular file"));
    if (info.size() > MaxHiveBytes)
        return skip(QStringLiteral("is larger than %1 MiB, far more than any Wine registry holds").arg(MaxHiveBytes >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return skip(file.errorString());

    // Registry lines are short; a longer one is passed over in pieces, so a
    // file without line ends is never held whole.
    constexpr qint64 LongestLine = 64 * 1024;
    qint64 read = 0;
    bool inKey = false;
    while (!file.atEnd() && read <= MaxHiveBytes) {
        QByteArray bytes = file.readLine(LongestLine);
        read += bytes.size();
        if (!bytes.endsWith('\n') && !file.atEnd()) {
            while (!file.atEnd() && read <= MaxHiveBytes && !bytes.endsWith('\n')) {
                bytes = file.readLine(LongestLine);
                read += bytes.size();
            }
            continue;
        }
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inKey = sectionKeyOf(line).compare(keyPath, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString name, value;
        if (inKey && splitValueLine(line, &name, &value)
            && name.compare(valueName, Qt::CaseInsensitive) == 0) {
            text = value;
            return PaintResult::success(path);
        }
    }
    return PaintResult::success(path);
}

QString WineRegistry::toNativePath(const QString &windowsPath) const
{
    if (windowsPath.size() < 2 || windowsPath[1] != QLatin1Char(':') || !windowsPath[0].isLetter())
        return QString();
    const QString drive = windowsPath.left(2).toLower();

    QString root = m_prefix + QStringLiteral("/dosdevices/") + drive;
    if (!QFileInfo(root).isDir()) {
        if (drive != QLatin1String("c:") || !QFileInfo(m_prefix + QStringLiteral("/drive_c")).isDir())
            return QString();
        root = m_prefix + QStringLiteral("/drive_c");
    }
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QStringList parts = windowsPath.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString native = descendIgnoringCase(canonicalRoot.isEmpty() ? root : canonicalRoot, parts);
    if (windowsPath.endsWith(QLatin1Char('\\')) && !native.endsWith(QLatin1Char('/')))
        native += QLatin1Char('/');
    return native;
}
