#pragma once

#include <QByteArray>

class QIODevice;

// Reads a paint list the way the game's Windows tools always have: line by
// line through a 256-byte C buffer, at most 254 characters a read, with the
// CR LF pairs of Windows text mode folded to LF before they are counted.
//
// The buffer is deliberately sticky: a read that finds the end of the file
// leaves the previous text in place, and callers rely on that (a paint
// without a texture line gets its own name as texture).
class PaintListReader
{
public:
    // Characters one physical read takes at most (a 255-byte limit, less the
    // terminating NUL).
    static constexpr int MaxReadLength = 254;

    // The device must be open for reading; the reader does not own it. A UTF-8
    // byte-order mark at the device's current position is skipped, so a list
    // saved by an editor that adds one reads like any other.
    explicit PaintListReader(QIODevice &device);

    // Reads the next line that is not a comment (";") into the buffer.
    // False at end of file (buffer unchanged) or at an end line ("#", which
    // is then what the buffer holds).
    bool readValueLine();

    // Ends the buffer's text at its first CR or LF.
    void cutAtLineEnd();

    // The buffer's text, as a C string would see it (up to a NUL byte).
    const QByteArray &buffer() const { return m_buffer; }

    // The number (from 1) of the first line read so far that was too long
    // for one read and so came in several pieces; 0 when there was none.
    int firstSplitLine() const { return m_firstSplitLine; }

private:
    bool readPhysicalLine();
    bool nextChar(char &c);
    bool refill();

    QIODevice &m_device;
    QByteArray m_chunk;
    qsizetype m_chunkPos = 0;
    QByteArray m_buffer;
    int m_lineNumber = 1;
    int m_firstSplitLine = 0;
};
