#include "engine/acs/frame_render.h"

#include <climits>

#include <QPainter>

namespace engine::acs {

namespace {

const MouthOverlay* findOverlay(const Frame& frame, std::optional<MouthShape> mouth)
{
    if (!mouth) {
        return nullptr;
    }
    for (const auto& overlay : frame.overlays) {
        if (overlay.shape == *mouth) {
            return &overlay;
        }
    }
    return nullptr;
}

int imageIndex(quint32 index)
{
    return int(std::min<quint32>(index, INT_MAX));
}

// Decodes on every call; an image that does not decode is left out.
class DecodingSource final : public ImageSource
{
public:
    explicit DecodingSource(const CharacterFile& character) : m_character(character) {}

    const QImage* image(quint32 index) override
    {
        Result<QImage> decoded = decodeImage(m_character, imageIndex(index));
        if (!decoded || decoded.value().isNull()) {
            return nullptr;
        }
        m_image = std::move(decoded).value().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return &m_image;
    }

    const QRegion* region(quint32 index) override
    {
        Result<QRegion> shape = imageRegion(m_character, imageIndex(index));
        if (!shape) {
            return nullptr;
        }
        m_region = std::move(shape).value();
        return &m_region;
    }

private:
    const CharacterFile& m_character;
    QImage m_image;
    QRegion m_region;
};

} // namespace

QImage composeFrame(const CharacterFile& character, const Frame& frame,
                    std::optional<MouthShape> mouth, ImageSource& images)
{
    QImage canvas(character.info.width, character.info.height, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) {
        return canvas;
    }
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    const MouthOverlay* overlay = findOverlay(frame, mouth);
    const int first = overlay && overlay->replaceTopImage ? 1 : 0;
    for (int i = int(frame.images.size()) - 1; i >= first; --i) {
        const auto& placed = frame.images.at(i);
        if (const QImage* picture = images.image(placed.imageIndex)) {
            painter.drawImage(placed.x, placed.y, *picture);
        }
    }
    if (overlay) {
        // The mouth stays inside the figure's outline, as the artist drew it.
        const QRegion outline = frameShape(character, frame, std::nullopt, images);
        if (const QImage* picture = images.image(overlay->imageIndex)) {
            painter.setClipRegion(outline);
            painter.drawImage(overlay->x, overlay->y, *picture);
        }
    }
    return canvas;
}

QRegion frameShape(const CharacterFile& character, const Frame& frame,
                   std::optional<MouthShape> mouth, ImageSource& images)
{
    QRegion result;
    const MouthOverlay* overlay = findOverlay(frame, mouth);
    const int first = overlay && overlay->replaceTopImage ? 1 : 0;
    for (int i = first; i < frame.images.size(); ++i) {
        const auto& placed = frame.images.at(i);
        if (const QRegion* part = images.region(placed.imageIndex)) {
            result += part->translated(placed.x, placed.y);
        }
    }
    if (overlay && overlay->replaceTopImage && !frame.images.isEmpty()) {
        // The replacing mouth is clipped to the outline of the image it stands in for.
        const auto& top = frame.images.first();
        const QRegion* outline = images.region(top.imageIndex);
        const QRegion topOutline = outline ? outline->translated(top.x, top.y) : QRegion();
        if (const QRegion* mouthRegion = images.region(overlay->imageIndex)) {
            result += mouthRegion->translated(overlay->x, overlay->y) & topOutline;
        }
    }
    return result & QRect(0, 0, character.info.width, character.info.height);
}

Result<QImage> renderFrame(const CharacterFile& character, const Frame& frame,
                           std::optional<MouthShape> mouth)
{
    DecodingSource images(character);
    const QImage canvas = composeFrame(character, frame, mouth, images);
    if (canvas.isNull()) {
        return ParseError{QStringLiteral("the character has no drawable size"), 0};
    }
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

} // namespace engine::acs
