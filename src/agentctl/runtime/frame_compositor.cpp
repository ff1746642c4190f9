#include "agentctl/runtime/frame_compositor.h"

#include <algorithm>

#include <QPainter>

#include "agentctl/acs/acs_model.h"

namespace agentctl::runtime {

namespace {

// Bytes of decoded images kept; about 64 full frames of a 128 x 128 character.
constexpr qsizetype IMAGE_CACHE_BYTES = 4 * 1024 * 1024;
// Regions are cheap; the count bounds them.
constexpr qsizetype REGION_CACHE_ENTRIES = 512;

const acs::MouthOverlay* findOverlay(const acs::Frame& frame, std::optional<acs::MouthShape> mouth)
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

} // namespace

FrameCompositor::FrameCompositor(const acs::CharacterFile& character)
    : m_character(character), m_images(IMAGE_CACHE_BYTES), m_regions(REGION_CACHE_ENTRIES)
{}

QImage FrameCompositor::compose(const acs::Frame& frame, std::optional<acs::MouthShape> mouth)
{
    QImage canvas(m_character.info.width, m_character.info.height,
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    const acs::MouthOverlay* overlay = findOverlay(frame, mouth);
    const int first = overlay && overlay->replaceTopImage ? 1 : 0;
    for (int i = int(frame.images.size()) - 1; i >= first; --i) {
        const auto& placed = frame.images.at(i);
        if (const QImage* picture = image(placed.imageIndex)) {
            painter.drawImage(placed.x, placed.y, *picture);
        }
    }
    if (overlay) {
        if (const QImage* picture = image(overlay->imageIndex)) {
            // The mouth stays inside the figure's outline, as the artist drew it.
            painter.setClipRegion(shape(frame, std::nullopt));
            painter.drawImage(overlay->x, overlay->y, *picture);
        }
    }
    return canvas;
}

QRegion FrameCompositor::shape(const acs::Frame& frame, std::optional<acs::MouthShape> mouth)
{
    QRegion result;
    const acs::MouthOverlay* overlay = findOverlay(frame, mouth);
    const int first = overlay && overlay->replaceTopImage ? 1 : 0;
    for (int i = first; i < frame.images.size(); ++i) {
        const auto& placed = frame.images.at(i);
        if (const QRegion* part = region(placed.imageIndex)) {
            result += part->translated(placed.x, placed.y);
        }
    }
    if (overlay && overlay->replaceTopImage && !frame.images.isEmpty()) {
        // The replacing mouth is clipped to the outline of the image it stands in for.
        const auto& top = frame.images.first();
        const QRegion* outline = region(top.imageIndex);
        const QRegion* mouthRegion = region(overlay->imageIndex);
        if (outline && mouthRegion) {
            result +=
                mouthRegion->translated(overlay->x, overlay->y) & outline->translated(top.x, top.y);
        }
    }
    return result & QRect(0, 0, m_character.info.width, m_character.info.height);
}

const QImage* FrameCompositor::image(quint32 index)
{
    if (const QImage* cached = m_images.object(index)) {
        return cached;
    }
    if (index >= quint32(m_character.images.size())) {
        return nullptr;
    }
    auto decoded = acs::decodeImage(m_character, int(index));
    if (!decoded || decoded.value().isNull()) {
        return nullptr;
    }
    auto* picture =
        new QImage(std::move(decoded).value().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // A picture larger than the whole cache still gets in, alone.
    const qsizetype cost = std::clamp<qsizetype>(picture->sizeInBytes(), 1, IMAGE_CACHE_BYTES);
    m_images.insert(index, picture, cost);
    return m_images.object(index);
}

const QRegion* FrameCompositor::region(quint32 index)
{
    if (const QRegion* cached = m_regions.object(index)) {
        return cached;
    }
    if (index >= quint32(m_character.images.size())) {
        return nullptr;
    }
    auto shape = acs::imageRegion(m_character, int(index));
    if (!shape) {
        return nullptr;
    }
    m_regions.insert(index, new QRegion(std::move(shape).value()));
    return m_regions.object(index);
}

} // namespace agentctl::runtime
