#include <QRandomGenerator>
#include <QTest>

#include "engine/acs/lz_codec.h"

using namespace engine::acs;

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator(seed).generate(out.begin(), out.end());
    return out;
}

} // namespace

class TestLzCodec final : public QObject
{
    Q_OBJECT

private slots:
    void roundTripsAndEndsExactly_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("stream"); // empty where any round trip will do
        QTest::newRow("literals and an overlapping match")
            << QByteArray::fromHex("4142414241424143")
            << QByteArray::fromHex("008208150C43FFFFFFFFFFFF");
        QTest::newRow("a run") << QByteArray(10, '\x07')
                               << QByteArray::fromHex("000E020EFFFFFFFFFFFF");
        // Sizes and periods on the edges of the distance tiers.
        quint32 seed = 1;
        for (const int size : {1, 64, 65, 576, 577, 4672, 4673}) {
            QTest::addRow("random %d", size) << randomBytes(size, seed++) << QByteArray();
            const QByteArray block = randomBytes(size, seed++);
            QTest::addRow("period %d", size) << block + block + block << QByteArray();
        }
        for (const int size : {4097, 8193, 70000})
            QTest::addRow("run %d", size) << QByteArray(size, '\0') << QByteArray();
        // A repeat a million bytes back uses the far tier at the end of the window.
        const QByteArray far = randomBytes(1040000, seed);
        QTest::newRow("window of a million") << far + far.first(5000) << QByteArray();
    }

    void roundTripsAndEndsExactly()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, stream);
        const QByteArray compressed = compress(data);
        if (!stream.isEmpty())
            QCOMPARE(compressed, stream);
        const Result<QByteArray> decoded = decompress(compressed, data.size());
        QVERIFY(decoded.ok());
        QVERIFY(decoded.value() == data);
        // The end marker must finish in the fourth byte from the end: asked for one byte more,
        // three bytes less still reach the marker, four less cut it.
        QVERIFY(compressed.endsWith(QByteArray(6, char(0xFF))));
        if (compressed.size() - 3 >= 8) {
            QCOMPARE(decompress(compressed.chopped(3), data.size() + 1).error().what,
                     "compressed data is shorter than expected");
            QCOMPARE(decompress(compressed.chopped(4), data.size() + 1).error().what,
                     "compressed data ends before its end marker");
        }
    }

    void decodesOnlyWhatIsNeeded_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<int>("expectedSize");
        QTest::addColumn<QByteArray>("decoded"); // empty when the stream is refused
        QTest::newRow("non-zero lead byte")
            << QByteArray("018208150C43FFFFFFFFFFFF") << 8 << QByteArray();
        QTest::newRow("twelve ones in a length")
            << QByteArray("008202FEDFFFFFFFFFFFFF") << 100 << QByteArray();
        QTest::newRow("distance before the start")
            << QByteArray("00820AFCFFFFFFFFFFFF") << 3 << QByteArray();
        QTest::newRow("ABABABAC, its spare C not needed")
            << QByteArray("008208150C43FFFFFFFFFFFF") << 7 << QByteArray("ABABABA");
        QTest::newRow("no end marker") << QByteArray("00820409122448902041") << 100 << QByteArray();
        QTest::newRow("size the stream cannot reach")
            << QByteArray("000E020EFFFFFFFFFFFF") << 100000000 << QByteArray();
    }

    void decodesOnlyWhatIsNeeded()
    {
        QFETCH(QByteArray, hex);
        QFETCH(int, expectedSize);
        QFETCH(QByteArray, decoded);
        const QByteArray stream = QByteArray::fromHex(hex);
        const Result<QByteArray> result = decompress(stream, expectedSize);
        QCOMPARE(result.ok(), !decoded.isEmpty());
        if (result.ok())
            QCOMPARE(result.value(), decoded);
        else
            QVERIFY(result.error().offset >= 0 && result.error().offset <= stream.size());
    }
};

QTEST_GUILESS_MAIN(TestLzCodec)
#include "test_lz_codec.moc"
