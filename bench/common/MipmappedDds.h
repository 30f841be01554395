#pragma once

#include <QByteArray>

// The 128-byte header of a square DXT texture with a full chain of mipmaps,
// for benchmarks that write player-sized textures without the test support.
inline QByteArray mipmappedDdsHeader(quint32 side, quint32 mipCount, const char *fourCC)
{
    QByteArray header(128, '\0');
    auto put = [&](int offset, quint32 value) {
        for (int i = 0; i < 4; ++i)
            header[offset + i] = char((value >> (8 * i)) & 0xff);
    };
    header.replace(0, 4, "DDS ");
    put(4, 124);
    put(8, 0x000A1007); // caps, height, width, pixel format, mipmap count, linear size
    put(12, side);
    put(16, side);
    put(28, mipCount);
    put(76, 32);
    put(80, 0x4); // compressed: the four-character code names the format
    header.replace(84, 4, fourCC);
    put(108, 0x401008); // a texture with mipmaps
    return header;
}
