#include <cstdlib>

#include <QTest>
#include <QtEndian>

#include "characters/sound.h"

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
    QCOMPARE(wave.size(), 44 + 2 * samples);
    QCOMPARE(qFromLittleEndian<quint32>(wave.constData() + 24), quint32(22050));
    int peak = 0;
    for (int i = 0; i < samples; ++i)
        peak =
            std::max(peak, std::abs(int(qFromLittleEndian<qint16>(wave.constData() + 44 + 2 * i))));
    // Normalised to the same loudness whatever the notes, well clear of clipping.
    QCOMPARE(peak, 16000);
    // Starts and ends in silence, so it does not click.
    QVERIFY(std::abs(qFromLittleEndian<qint16>(wave.constData() + 44)) < 100);
    QVERIFY(std::abs(qFromLittleEndian<qint16>(wave.constData() + wave.size() - 2)) < 100);
}

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
