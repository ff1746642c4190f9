#include <cstdlib>

#include <QTest>

#include "agentctl/acs/wave.h"
#include "characters/sound.h"

using agentctl::acs::readWave;
using hv::characters::chime;
using hv::characters::ringingBell;

class TestSound final : public QObject
{
    Q_OBJECT

private slots:
    void lastsAndPeaksAsAsked_data();
    void lastsAndPeaksAsAsked();
};

void TestSound::lastsAndPeaksAsAsked_data()
{
    QTest::addColumn<QByteArray>("wave");
    // Samples at 22050 Hz: the notes plus the time they are left to ring out.
    QTest::addColumn<int>("samples");
    QTest::newRow("one strike") << ringingBell(1000, 1, 0.1) << 13230;
    QTest::newRow("quick strikes") << ringingBell(1318.5, 9, 0.06) << 22932;
    QTest::newRow("one note") << chime({440.0}, 0.2) << 17640;
    QTest::newRow("melody") << chime({659.3, 523.3, 587.3, 392.0}, 0.22) << 32634;
}

void TestSound::lastsAndPeaksAsAsked()
{
    QFETCH(QByteArray, wave);
    QFETCH(int, samples);
    const auto sound = readWave(wave);
    QVERIFY(sound.ok());
    QCOMPARE(sound.value().sampleRate, 22050);
    const QList<qint16>& s = sound.value().samples;
    QCOMPARE(s.size(), samples);
    int peak = 0;
    for (const qint16 v : s)
        peak = std::max(peak, std::abs(int(v)));
    // Normalised to the same loudness whatever the notes, well clear of clipping.
    QCOMPARE(peak, 16000);
    // Starts in silence and fades out to nothing, so it does not click.
    QVERIFY(std::abs(s.first()) < 100);
    QCOMPARE(s.last(), qint16(0));
}

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
