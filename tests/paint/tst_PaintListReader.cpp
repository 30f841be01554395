#include "PaintListReader.h"

#include <QBuffer>
#include <QTest>

// What a run of ReadValueLine calls sees: the cut value of every successful
// read, then the buffer as it stands after the first failing read.
struct ReadOutcome
{
    QList<QByteArray> values;
    QByteArray bufferAtStop;
};

static ReadOutcome readAllValues(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    PaintListReader reader(device);
    ReadOutcome outcome;
    while (reader.readValueLine()) {
        reader.cutAtLineEnd();
        outcome.values << reader.buffer();
    }
    outcome.bufferAtStop = reader.buffer();
    return outcome;
}

class TestPaintListReader : public QObject
{
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void endOfFileKeepsBuffer();
    void endLineStopsWithItsTextInBuffer();
    void crLfCountedAsOneCharacter();
    void veryLongLineDoesNotHang();
    void cutAtLineEnd_data();
    void cutAtLineEnd();
};

void TestPaintListReader::values_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::addColumn<QByteArray>("bufferAtStop");

    const QByteArray a254(254, 'a');
    const QByteArray b300(300, 'b');

    QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{} << QByteArray();
    QTest::newRow("comments only") << QByteArray(";one\r\n;two\r\n") << QList<QByteArray>{}
                                   << QByteArray(";two\n");
    QTest::newRow("empty lines are values")
        << QByteArray("\r\n\r\nx\r\n") << QList<QByteArray>{"", "", "x"} << QByteArray("x");
    QTest::newRow("bare LF reads like CR LF")
        << QByteArray("t\nm\n") << QList<QByteArray>{"t", "m"} << QByteArray("m");
    QTest::newRow("no final line end")
        << QByteArray("t\r\nm") << QList<QByteArray>{"t", "m"} << QByteArray("m");
    QTest::newRow("bare CR line ends are one line")
        << QByteArray("title\rtex\rname\r") << QList<QByteArray>{"title"} << QByteArray("title");
    QTest::newRow("line of 300 splits at 254")
        << b300 + "\r\nnext\r\n" << QList<QByteArray>{b300.left(254), b300.mid(254), "next"}
        << QByteArray("next");
    QTest::newRow("line of exactly 254 leaves an empty value")
        << a254 + "\r\nnext\r\n" << QList<QByteArray>{a254, "", "next"} << QByteArray("next");
    QTest::newRow("continuation starting with ; is a comment")
        << a254 + ";rest\r\nnext\r\n" << QList<QByteArray>{a254, "next"} << QByteArray("next");
    QTest::newRow("continuation starting with # ends")
        << a254 + "#rest\r\nnext\r\n" << QList<QByteArray>{a254} << QByteArray("#rest\n");
    QTest::newRow("byte-order mark skipped")
        << QByteArray("\xEF\xBB\xBF;comment\r\ntitle\r\n") << QList<QByteArray>{"title"}
        << QByteArray("title");
    QTest::newRow("byte-order mark only at the start")
        << QByteArray("t\r\n\xEF\xBB\xBF;x\r\n")
        << QList<QByteArray>{"t", "\xEF\xBB\xBF;x"} << QByteArray("\xEF\xBB\xBF;x");
    QTest::newRow("NUL ends the text")
        << QByteArray("ab\0cd\r\nnext\r\n", 13) << QList<QByteArray>{"ab", "next"}
        << QByteArray("next");
    QTest::newRow("NUL first is an empty value, not a comment")
        << QByteArray("\0;x\r\n", 5) << QList<QByteArray>{""} << QByteArray("");
    QTest::newRow("comments and end lines anywhere")
        << QByteArray(";c\r\nt\r\n;c\r\n;c\r\nm\r\n#\r\nafter\r\n") << QList<QByteArray>{"t", "m"}
        << QByteArray("#\n");
    QTest::newRow("binary junk")
        << QByteArray("\xff\xfe\x01\x1a\r\r\n\x80;#\n")
        << QList<QByteArray>{"\xff\xfe\x01\x1a", "\x80;#"} << QByteArray("\x80;#");
}

void TestPaintListReader::values()
{
    QFETCH(QByteArray, input);
    QFETCH(QList<QByteArray>, expected);
    QFETCH(QByteArray, bufferAtStop);

    const ReadOutcome outcome = readAllValues(input);
    QCOMPARE(outcome.values, expected);
    // The buffer at a stop is cut when the last value was read, not when an
    // end line was.
    QCOMPARE(outcome.bufferAtStop, bufferAtStop);
}

void TestPaintListReader::endOfFileKeepsBuffer()
{
    QBuffer device;
    device.setData("name\r\n");
    device.open(QIODevice::ReadOnly);
    PaintListReader reader(device);
    QVERIFY(reader.readValueLine());
    QCOMPARE(reader.buffer(), QByteArray("name\n"));
    QVERIFY(!reader.readValueLine());
    QCOMPARE(reader.buffer(), QByteArray("name\n"));
    QVERIFY(!reader.readValueLine());
    QCOMPARE(reader.buffer(), QByteArray("name\n"));
}

void TestPaintListReader::endLineStopsWithItsTextInBuffer()
{
    QBuffer device;
    device.setData("## end\r\nvalue\r\n");
    device.open(QIODevice::ReadOnly);
    PaintListReader reader(device);
    QVERIFY(!reader.readValueLine());
    QCOMPARE(reader.buffer(), QByteArray("## end\n"));
    // Reading goes on after the end line for whoever asks again.
    QVERIFY(reader.readValueLine());
    QCOMPARE(reader.buffer(), QByteArray("value\n"));
}

void TestPaintListReader::crLfCountedAsOneCharacter()
{
    // 253 characters and CR LF fit one read only when the pair is folded
    // first; counted as two, the LF would come as an extra empty value.
    const QByteArray line(253, 'x');
    const ReadOutcome outcome = readAllValues(line + "\r\nnext\r\n");
    QCOMPARE(outcome.values, (QList<QByteArray>{line, "next"}));

    // Lines of 111 put a CR at byte 16383, the last of a 16 KiB block: the
    // pair must fold across reads of the device too.
    QByteArray big;
    for (int i = 0; i < 200; ++i)
        big += QByteArray(111, char('a' + i % 26)) + "\r\n";
    QCOMPARE(big.at(16383), '\r');
    const ReadOutcome many = readAllValues(big);
    QCOMPARE(many.values.size(), 200);
    for (int i = 0; i < 200; ++i)
        QCOMPARE(many.values.at(i), QByteArray(111, char('a' + i % 26)));
}

void TestPaintListReader::veryLongLineDoesNotHang()
{
    const QByteArray line(100000, 'z');
    const ReadOutcome outcome = readAllValues(line + "\r\n");
    QCOMPARE(outcome.values.size(), 100000 / 254 + 1);
    QCOMPARE(outcome.values.join(), line);
    for (const QByteArray &value : outcome.values)
        QVERIFY(value.size() <= PaintListReader::MaxReadLength);
}

void TestPaintListReader::cutAtLineEnd_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("LF") << QByteArray("abc\n") << QByteArray("abc");
    QTest::newRow("CR before LF") << QByteArray("a\rb\n") << QByteArray("a");
    QTest::newRow("none") << QByteArray("abc") << QByteArray("abc");
    QTest::newRow("at the start") << QByteArray("\rabc") << QByteArray("");
}

void TestPaintListReader::cutAtLineEnd()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QBuffer device;
    device.setData(input);
    device.open(QIODevice::ReadOnly);
    PaintListReader reader(device);
    QVERIFY(reader.readValueLine());
    reader.cutAtLineEnd();
    QCOMPARE(reader.buffer(), expected);
}

QTEST_GUILESS_MAIN(TestPaintListReader)
#include "tst_PaintListReader.moc"
