// Opening a large character (tables only) and expanding every image of it, with zlib's inflate of
// the same pixels as the yardstick. Goals: open within 5 ms, expand at 300 MB/s or more.
#include <cmath>

#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include "engine/acs/acs_model.h"

using namespace engine::acs;

namespace {

constexpr int SIZE = 128;
constexpr int IMAGES = 1080;
constexpr int ANIMATIONS = 100;
constexpr quint8 TRANSPARENT = 0;

// A figure like a drawn character: a shaded ellipse with texture and outline, on a transparent
// background, different in every image so the compressor sees real work.
QImage figure(int index, QRandomGenerator& random)
{
    QImage picture(SIZE, SIZE, QImage::Format_Indexed8);
    picture.fill(TRANSPARENT);
    const double cx = 64 + 20 * std::sin(index * 0.7);
    const double cy = 70 + 15 * std::cos(index * 0.3);
    const double rx = 30 + index % 25;
    const double ry = 40 + index % 17;
    for (int y = 0; y < SIZE; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < SIZE; ++x) {
            const double d = std::pow((x - cx) / rx, 2) + std::pow((y - cy) / ry, 2);
            if (d > 1.0)
                continue;
            if (d > 0.9)
                row[x] = 1; // outline
            else
                row[x] = uchar(16 + int(d * 40) + (random.bounded(8) == 0 ? random.bounded(6) : 0));
        }
    }
    return picture;
}

struct Fixture
{
    CharacterFile character;
    QByteArray file;
    qint64 rasterBytes = 0;
    QVector<QByteArray> deflated;
    QVector<qsizetype> rasterSizes;

    Fixture()
    {
        CharacterFile c;
        c.info.width = SIZE;
        c.info.height = SIZE;
        c.info.transparentIndex = TRANSPARENT;
        for (int i = 0; i < 256; ++i)
            c.info.palette.append(qRgb(i, 255 - i, (i * 7) % 256));
        c.info.localized.append(LocalizedInfo{});
        QRandomGenerator random(42);
        for (int i = 0; i < IMAGES; ++i)
            c.images.append(imageFromIndexed(figure(i, random)));
        for (int a = 0; a < ANIMATIONS; ++a) {
            Animation animation;
            animation.name = QStringLiteral("Animation%1").arg(a);
            for (int f = 0; f < 12; ++f) {
                Frame frame;
                frame.images = {{quint32((a * 12 + f) % IMAGES), 0, 0}};
                frame.branches = {{0, 20}};
                animation.frames.append(frame);
            }
            c.animations.append(animation);
        }
        file = writeCharacterFile(c);
        character = c;

        for (const Image& image : c.images) {
            rasterBytes += image.rasterSize();
            rasterSizes.append(image.rasterSize());
            uLongf size = compressBound(uLong(image.pixels.size()));
            QByteArray out(qsizetype(size), Qt::Uninitialized);
            ::compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<const Bytef*>(image.pixels.constData()),
                        uLong(image.pixels.size()), Z_DEFAULT_COMPRESSION);
            out.resize(qsizetype(size));
            deflated.append(out);
        }
    }
};

const Fixture& fixture()
{
    static const Fixture f;
    return f;
}

CharacterFile openFixture()
{
    Result<CharacterFile> read = readCharacterFile(fixture().file);
    if (!read)
        qFatal("benchmark character does not read: %s", qPrintable(read.error().what));
    return std::move(read).value();
}

void openCharacter(benchmark::State& state)
{
    const QByteArray& file = fixture().file;
    for (auto _ : state) {
        Result<CharacterFile> read = readCharacterFile(file);
        benchmark::DoNotOptimize(read);
    }
    state.counters["file_MB"] = double(file.size()) / 1e6;
}

void expandEveryImage(benchmark::State& state)
{
    const CharacterFile c = openFixture();
    for (auto _ : state) {
        for (const Image& image : c.images) {
            Result<QByteArray> pixels = imagePixels(image);
            benchmark::DoNotOptimize(pixels);
        }
    }
    state.SetBytesProcessed(state.iterations() * fixture().rasterBytes);
}

void decodeEveryImageToArgb(benchmark::State& state)
{
    const CharacterFile c = openFixture();
    for (auto _ : state) {
        for (int i = 0; i < c.images.size(); ++i) {
            Result<QImage> image = decodeImage(c, i);
            benchmark::DoNotOptimize(image);
        }
    }
    state.SetBytesProcessed(state.iterations() * fixture().rasterBytes);
}

// The character builder writes at build time; this is the compressor's speed in practice.
void writeCharacter(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        QByteArray file = writeCharacterFile(f.character);
        benchmark::DoNotOptimize(file);
    }
    state.SetBytesProcessed(state.iterations() * f.rasterBytes);
}

void zlibInflateSamePixels(benchmark::State& state)
{
    const Fixture& f = fixture();
    QByteArray out(SIZE * SIZE, Qt::Uninitialized);
    for (auto _ : state) {
        for (qsizetype i = 0; i < f.deflated.size(); ++i) {
            uLongf size = uLongf(out.size());
            const int status = ::uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                                            reinterpret_cast<const Bytef*>(f.deflated[i].data()),
                                            uLong(f.deflated[i].size()));
            if (status != Z_OK || qsizetype(size) != f.rasterSizes[i])
                state.SkipWithError("zlib could not inflate its own data");
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * f.rasterBytes);
}

} // namespace

BENCHMARK(openCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(expandEveryImage)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeEveryImageToArgb)->Unit(benchmark::kMillisecond);
BENCHMARK(writeCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(zlibInflateSamePixels)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
