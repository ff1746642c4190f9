#include <QRandomGenerator>
#include <QTest>

#include "agentctl/acs/lz_codec.h"

using namespace agentctl::acs;

namespace {

// A stream from bits written in reading order ("0 10000010 ..."), after the 0x00 lead byte. The
// last byte is filled with `fill` bits and `tail` bytes of 0xFF follow.
QByteArray streamFromBits(const QString& bits, bool fill, int tail)
{
    QByteArray out(1, '\0');
    int count = 0;
    for (const QChar bit : bits) {
        if (bit == u' ')
            continue;
        if (count % 8 == 0)
            out.append('\0');
        if (bit == u'1')
            out.back() = char(out.back() | (1 << (count % 8)));
        ++count;
    }
    for (; fill && count % 8 != 0; ++count)
        out.back() = char(out.back() | (1 << (count % 8)));
    out.append(tail, char(0xFF));
    return out;
}

const QString END_MARKER = QStringLiteral("1 111 11111111111111111111");

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& c : out)
        c = char(random.bounded(256));
    return out;
}

} // namespace

class TestLzCodec final : public QObject
{
    Q_OBJECT

private slots:
    void encodesAndDecodesKnownStreams_data();
    void encodesAndDecodesKnownStreams();
    void roundTripsAndEndsExactly_data();
    void roundTripsAndEndsExactly();
    void rejectsMalformedStreams_data();
    void rejectsMalformedStreams();
};

void TestLzCodec::encodesAndDecodesKnownStreams_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("stream");
    QTest::newRow("literals and an overlapping match")
        << QByteArray::fromHex("4142414241424143")
        << QByteArray::fromHex("008208150C43FFFFFFFFFFFF");
    QTest::newRow("a run") << QByteArray(10, '\x07') << QByteArray::fromHex("000E020EFFFFFFFFFFFF");
}

void TestLzCodec::encodesAndDecodesKnownStreams()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, stream);
    QCOMPARE(compress(data), stream);
    const Result<QByteArray> decoded = decompress(stream, data.size());
    QVERIFY2(decoded.ok(), qPrintable(decoded.ok() ? QString() : decoded.error().what));
    QCOMPARE(decoded.value(), data);
}

void TestLzCodec::roundTripsAndEndsExactly_data()
{
    QTest::addColumn<QByteArray>("data");
    // Sizes and periods on the edges of the distance tiers.
    quint32 seed = 1;
    for (const int size : {1, 2, 64, 65, 576, 577, 4672, 4673}) {
        QTest::addRow("random %d", size) << randomBytes(size, seed++);
        QTest::addRow("run %d", size) << QByteArray(size, 'x');
        const QByteArray block = randomBytes(size, seed++);
        QTest::addRow("period %d", size) << block + block + block;
    }
    for (const int size : {4096, 4097, 4098, 8193, 70000})
        QTest::addRow("run %d", size) << QByteArray(size, '\0');
    // A repeat a million bytes back uses the far tier at the end of the window.
    const QByteArray far = randomBytes(1040000, seed++);
    QTest::newRow("window of a million") << far + far.first(5000);
    QByteArray mixed = randomBytes(3000, seed++);
    for (int i = 0; i < 200; ++i)
        mixed += QByteArray(i % 17 + 1, char(i)) + mixed.sliced(i * 7, i % 40 + 2);
    QTest::newRow("mixed") << mixed;
}

void TestLzCodec::roundTripsAndEndsExactly()
{
    QFETCH(QByteArray, data);
    const QByteArray stream = compress(data);
    const Result<QByteArray> decoded = decompress(stream, data.size());
    QVERIFY2(decoded.ok(), qPrintable(decoded.ok() ? QString() : decoded.error().what));
    QVERIFY(decoded.value() == data);

    QVERIFY(stream.endsWith(QByteArray(6, char(0xFF))));
    // The end marker must finish in the fourth byte from the end: three bytes less still decode,
    // four less cut the marker. That pins the length to 1 + ceil(P/8) + 6.
    if (stream.size() - 3 >= 8) {
        QVERIFY(decompress(stream.chopped(3), data.size()).ok());
        QVERIFY(!decompress(stream.chopped(4), data.size()).ok());
    }
}

void TestLzCodec::rejectsMalformedStreams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("expectedSize");
    const QString literalA = QStringLiteral("0 10000010 ");
    QByteArray badLead = QByteArray::fromHex("008208150C43FFFFFFFFFFFF");
    badLead[0] = 1;
    QTest::newRow("non-zero lead byte") << badLead << 8;
    QTest::newRow("seven bytes") << QByteArray::fromHex("00FFFFFFFFFFFF") << 0;
    QTest::newRow("twelve ones in a length")
        << streamFromBits(literalA + "1 0 000000 111111111111 0" + END_MARKER, true, 3) << 100;
    QTest::newRow("eleven ones but too long for the output")
        << streamFromBits(literalA + "1 0 000000 11111111111 0 00000000000" + END_MARKER, true, 3)
        << 100;
    QTest::newRow("distance before the start")
        << streamFromBits(literalA + "1 0 100000 0" + END_MARKER, true, 3) << 3;
    QTest::newRow("far distance before the start")
        << streamFromBits(literalA.repeated(10) + "1 111 00000000000000000000 0" + END_MARKER, true,
                          3)
        << 20;
    QTest::newRow("more output than expected")
        << QByteArray::fromHex("008208150C43FFFFFFFFFFFF") << 7;
    QTest::newRow("less output than expected")
        << QByteArray::fromHex("008208150C43FFFFFFFFFFFF") << 9;
    QTest::newRow("no end marker") << streamFromBits(literalA.repeated(8), false, 0) << 100;
    QTest::newRow("marker cut short")
        << streamFromBits(literalA.repeated(8) + "1 111 1111111111", false, 0) << 8;
    QTest::newRow("size the stream cannot reach")
        << QByteArray::fromHex("000E020EFFFFFFFFFFFF") << 100000000;
}

void TestLzCodec::rejectsMalformedStreams()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, expectedSize);
    const Result<QByteArray> decoded = decompress(stream, expectedSize);
    QVERIFY(!decoded.ok());
    QVERIFY(!decoded.error().what.isEmpty());
    QVERIFY(decoded.error().offset >= 0 && decoded.error().offset <= stream.size());
}

QTEST_GUILESS_MAIN(TestLzCodec)
#include "test_lz_codec.moc"
