#include "SteamLibraries.h"

namespace {

// Steam's key-value text: quoted or bare tokens, braces, // comments.
class VdfTokens
{
public:
    explicit VdfTokens(const QByteArray &text) : m_text(text) {}

    enum Kind { Text, Open, Close, End };
    struct Token
    {
        Kind kind = End;
        QString text;
    };

    Token next()
    {
        skipSpaceAndComments();
        if (m_pos >= m_text.size())
            return {};
        const char c = m_text[m_pos];
        if (c == '{') {
            ++m_pos;
            return {Open, {}};
        }
        if (c == '}') {
            ++m_pos;
            return {Close, {}};
        }
        return {Text, c == '"' ? quoted() : bare()};
    }

private:
    void skipSpaceAndComments()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                    ++m_pos;
            } else {
                break;
            }
        }
    }

    QString quoted()
    {
        QByteArray out;
        ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != '"') {
            char c = m_text[m_pos++];
            if (c == '\\' && m_pos < m_text.size()) {
                c = m_text[m_pos++];
                if (c == 'n')
                    c = '\n';
                else if (c == 't')
                    c = '\t';
            }
            out += c;
        }
        ++m_pos; // the closing quote, or past the end of a cut-off file
        return QString::fromUtf8(out);
    }

    QString bare()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '{' || c == '}' || c == '"')
                break;
            ++m_pos;
        }
        return QString::fromUtf8(m_text.mid(start, m_pos - start));
    }

    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

bool isLibraryNumber(const QString &key)
{
    bool ok = false;
    key.toUInt(&ok);
    return ok;
}

// Reads the block whose "{" was just taken; answers its "path" value.
// False when the file ends before the block does.
bool readLibraryBlock(VdfTokens &tokens, QString *path, int depth)
{
    for (;;) {
        const VdfTokens::Token key = tokens.next();
        if (key.kind == VdfTokens::Close)
            return true;
        if (key.kind != VdfTokens::Text)
            return false;
        const VdfTokens::Token value = tokens.next();
        if (value.kind == VdfTokens::Open) {
            QString ignored;
            if (depth > 16 || !readLibraryBlock(tokens, &ignored, depth + 1))
                return false;
        } else if (value.kind == VdfTokens::Text) {
            if (depth == 0 && key.text.compare(QLatin1String("path"), Qt::CaseInsensitive) == 0)
                *path = value.text;
        } else {
            return false;
        }
    }
}

} // namespace

QStringList steamLibraryFoldersIn(const QByteArray &vdfText)
{
    QStringList folders;
    VdfTokens tokens(vdfText);
    const VdfTokens::Token root = tokens.next();
    if (root.kind != VdfTokens::Text || root.text.compare(QLatin1String("libraryfolders"), Qt::CaseInsensitive) != 0
        || tokens.next().kind != VdfTokens::Open)
        return folders;

    for (;;) {
        const VdfTokens::Token key = tokens.next();
        if (key.kind != VdfTokens::Text)
            return folders;
        const VdfTokens::Token value = tokens.next();
        if (value.kind == VdfTokens::Open) {
            QString path;
            const bool complete = readLibraryBlock(tokens, &path, 0);
            if (isLibraryNumber(key.text) && !path.isEmpty())
                folders << path;
            if (!complete)
                return folders;
        } else if (value.kind == VdfTokens::Text) {
            if (isLibraryNumber(key.text) && !value.text.isEmpty())
                folders << value.text;
        } else {
            return folders;
        }
    }
}
