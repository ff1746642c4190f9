#include "engine/acs/acs_model.h"

#include <array>
#include <cstring>

#include "engine/acs/lz_codec.h"
#include "engine/acs/region.h"

namespace engine::acs {

namespace {

template <typename T> const T* findByName(const QVector<T>& items, QStringView name)
{
    for (const T& item : items) {
        if (QStringView(item.name).compare(name, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

Result<const Image*> imageAt(const CharacterFile& character, int imageIndex)
{
    if (imageIndex < 0 || imageIndex >= character.images.size())
        return ParseError{QStringLiteral("image %1 does not exist").arg(imageIndex), 0};
    return &character.images[imageIndex];
}

// Rectangles Qt can take as they are: banded top to bottom, left to right, not overlapping.
bool isBanded(const QVector<QRect>& rects)
{
    for (qsizetype i = 1; i < rects.size(); ++i) {
        const QRect& a = rects[i - 1];
        const QRect& b = rects[i];
        const bool sameBand = a.top() == b.top() && a.bottom() == b.bottom();
        if (sameBand ? b.left() <= a.right() : b.top() <= a.bottom())
            return false;
    }
    return true;
}

} // namespace

const State* CharacterInfo::findState(QStringView name) const
{
    return findByName(states, name);
}

const LocalizedInfo* CharacterInfo::findLocalizedInfo(quint16 languageId) const
{
    constexpr quint16 PRIMARY_LANGUAGE = 0x3FF;
    for (const LocalizedInfo& info : localized) {
        if ((info.languageId & PRIMARY_LANGUAGE) == (languageId & PRIMARY_LANGUAGE))
            return &info;
    }
    for (const LocalizedInfo& info : localized) {
        if ((info.languageId & PRIMARY_LANGUAGE) == LANGID_ENGLISH_NEUTRAL)
            return &info;
    }
    return localized.isEmpty() ? nullptr : &localized.first();
}

const Animation* CharacterFile::findAnimation(QStringView name) const
{
    return findByName(animations, name);
}

Image imageFromIndexed(const QImage& indexed)
{
    Q_ASSERT(indexed.format() == QImage::Format_Indexed8);
    Image image;
    image.width = quint16(indexed.width());
    image.height = quint16(indexed.height());
    image.pixels = QByteArray(image.rasterSize(), '\0');
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(image.pixels.data() + qsizetype(image.height - 1 - y) * image.stride(),
                    indexed.constScanLine(y), image.width);
    }
    return image;
}

Result<QByteArray> imagePixels(const Image& image)
{
    if (image.packed)
        return decompress(image.pixels, image.rasterSize());
    if (image.pixels.size() < image.rasterSize())
        return ParseError{QStringLiteral("image data is shorter than its raster"), 0};
    return image.pixels;
}

Result<QImage> decodeImage(const CharacterFile& character, int imageIndex)
{
    const Result<const Image*> found = imageAt(character, imageIndex);
    if (!found)
        return found.error();
    const Image& image = *found.value();
    if (image.isEmpty())
        return QImage();
    const Result<QByteArray> raster = imagePixels(image);
    if (!raster)
        return raster.error();

    std::array<QRgb, 256> colours{};
    colours.fill(qRgb(0, 0, 0));
    const QVector<QRgb>& palette = character.info.palette;
    for (qsizetype i = 0; i < std::min<qsizetype>(palette.size(), 256); ++i)
        colours[size_t(i)] = palette[i] | 0xFF000000;
    colours[character.info.transparentIndex] = 0;

    QImage out(image.width, image.height, QImage::Format_ARGB32);
    if (out.isNull())
        return ParseError{QStringLiteral("image %1 is too large to draw").arg(imageIndex), 0};
    const auto* bits = reinterpret_cast<const quint8*>(raster.value().constData());
    for (int y = 0; y < image.height; ++y) {
        const quint8* row = bits + qsizetype(image.height - 1 - y) * image.stride();
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x)
            line[x] = colours[row[x]];
    }
    return out;
}

Result<QRegion> imageRegion(const CharacterFile& character, int imageIndex)
{
    const Result<const Image*> found = imageAt(character, imageIndex);
    if (!found)
        return found.error();
    const Image& image = *found.value();
    const QRect bounds(0, 0, image.width, image.height);
    QRegion region;
    if (!image.region.isEmpty()) {
        const Result<QByteArray> data = image.regionPacked
                                            ? decompress(image.region, image.regionSize)
                                            : Result<QByteArray>(image.region);
        const Result<QVector<QRect>> stored =
            data ? decodeRegionData(data.value()) : Result<QVector<QRect>>(data.error());
        // A region that is malformed or not banded is replaced by the one the pixels give.
        if (stored && isBanded(stored.value())) {
            region.setRects(stored.value().constData(), int(stored.value().size()));
            return region & bounds;
        }
    }
    if (image.isEmpty())
        return region;
    const Result<QByteArray> raster = imagePixels(image);
    if (!raster)
        return raster.error();
    const QVector<QRect> rects =
        opaqueRects(raster.value(), image.width, image.height, character.info.transparentIndex);
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

QStringList imageProblems(const CharacterFile& character)
{
    QStringList problems;
    for (int i = 0; i < character.images.size(); ++i) {
        const Image& image = character.images[i];
        if (!image.damage.isEmpty()) {
            problems.append(QStringLiteral("image %1: %2").arg(i).arg(image.damage));
            continue;
        }
        const Result<QImage> decoded = decodeImage(character, i);
        if (!decoded)
            problems.append(QStringLiteral("image %1: %2").arg(i).arg(decoded.error().what));
    }
    return problems;
}

std::optional<QPoint> mouthCentre(const CharacterFile& character, const MouthOverlay& closedMouth)
{
    const Result<QRegion> region = imageRegion(character, closedMouth.imageIndex);
    if (!region || region.value().isEmpty())
        return std::nullopt;
    const QRect box = region.value().boundingRect();
    // Half of the exclusive corners' sum, rounded down, as the overlays carry it.
    return QPoint((box.left() + box.right() + 1) / 2 + closedMouth.x,
                  (box.top() + box.bottom() + 1) / 2 + closedMouth.y);
}

} // namespace engine::acs
