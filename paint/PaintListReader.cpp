#include "PaintListReader.h"

#include <QIODevice>

namespace {
constexpr qsizetype ChunkSize = 16 * 1024;
}

PaintListReader::PaintListReader(QIODevice &device)
    : m_device(device)
{
    if (m_device.peek(3) == QByteArrayLiteral("\xEF\xBB\xBF"))
        m_device.skip(3);
}

bool PaintListReader::refill()
{
    m_chunk = m_device.read(ChunkSize);
    m_chunkPos = 0;
    return !m_chunk.isEmpty();
}

bool PaintListReader::nextChar(char &c)
{
    if (m_chunkPos >= m_chunk.size() && !refill())
        return false;
    c = m_chunk.at(m_chunkPos++);
    if (c == '\r') {
        // Text mode on Windows hands CR LF over as a single LF; a CR on its
        // own stays what it is.
        if (m_chunkPos >= m_chunk.size() && !refill())
            return true;
        if (m_chunk.at(m_chunkPos) == '\n') {
            ++m_chunkPos;
            c = '\n';
        }
    }
    return true;
}

bool PaintListReader::readPhysicalLine()
{
    QByteArray line;
    char c;
    while (line.size() < MaxReadLength && nextChar(c)) {
        line.append(c);
        if (c == '\n')
            break;
    }
    if (line.isEmpty())
        return false;
    if (line.endsWith('\n')) {
        ++m_lineNumber;
    } else if (line.size() == MaxReadLength && m_firstSplitLine == 0
               && (m_chunkPos < m_chunk.size() || refill())) {
        m_firstSplitLine = m_lineNumber;
    }
    // The buffer is a C string: a NUL byte read from the file ends its text.
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    m_buffer = line;
    return true;
}

bool PaintListReader::readValueLine()
{
    for (;;) {
        if (!readPhysicalLine())
            return false;
        if (m_buffer.startsWith(';'))
            continue;
        return !m_buffer.startsWith('#');
    }
}

void PaintListReader::cutAtLineEnd()
{
    for (qsizetype i = 0; i < m_buffer.size(); ++i) {
        if (m_buffer.at(i) == '\r' || m_buffer.at(i) == '\n') {
            m_buffer.truncate(i);
            return;
        }
    }
}
