// Feeds arbitrary bytes to the paint list reader. Besides the sanitizers'
// findings it checks what the rest of the program relies on: values never
// hold a line end or exceed one read, and a list that only holds values the
// format can carry is read back exactly from its written full form.
#include "GameText.h"
#include "PaintListFile.h"
#include "PaintListReader.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkValue(const QByteArray &value)
{
    require(value.size() <= PaintListReader::MaxReadLength);
    require(!value.contains('\r') && !value.contains('\n') && !value.contains('\0'));
    const QString text = GameText::decode(value);
    require(GameText::decode(GameText::encode(text)) == text);
}

// A value the full form writes and reads back unchanged: it must not look
// like a comment or an end line, and with its line end it must fit one read.
bool carriesThrough(const QByteArray &value)
{
    return !value.startsWith(';') && !value.startsWith('#')
        && value.size() < PaintListReader::MaxReadLength;
}

PaintListContents parseBytes(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return PaintListFile::parse(device);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const PaintListContents contents = parseBytes(bytes);

    checkValue(contents.title);
    checkValue(contents.mainTexture);
    for (const PaintEntry &paint : contents.paints) {
        checkValue(paint.name);
        checkValue(paint.texture);
    }
    // Every paint costs at least one line end of input.
    require(contents.paints.size() <= qsizetype(size) / 2 + 1);

    PaintListContents expected = contents;
    expected.firstSplitLine = 0; // every value written back fits its line
    bool writable = carriesThrough(expected.title) && carriesThrough(expected.mainTexture);
    for (const PaintEntry &paint : expected.paints)
        writable = writable && carriesThrough(paint.name) && carriesThrough(paint.texture);
    if (writable) {
        const QByteArray full =
            PaintListFile::fullForm(contents.title, contents.mainTexture, contents.paints);
        require(full.count("\r\n") == 4 * contents.paints.size() + 7);
        require(parseBytes(full) == expected);

        const PaintListContents initial =
            parseBytes(PaintListFile::initialForm(expected.title, expected.mainTexture));
        require(initial.title == expected.title);
        require(initial.mainTexture == expected.mainTexture);
        require(initial.paints.isEmpty());
    }
    return 0;
}
