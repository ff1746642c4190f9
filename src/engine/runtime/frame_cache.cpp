#include "engine/runtime/frame_cache.h"

#include <algorithm>

namespace engine::runtime {

namespace {

// Bytes of decoded images kept; about 64 full frames of a 128 x 128 character.
constexpr qsizetype IMAGE_CACHE_BYTES = 4 * 1024 * 1024;
// Regions are cheap; the count bounds them.
constexpr qsizetype REGION_CACHE_ENTRIES = 512;

} // namespace

FrameCache::FrameCache(const acs::CharacterFile& character)
    : m_character(character), m_images(IMAGE_CACHE_BYTES), m_regions(REGION_CACHE_ENTRIES)
{}

const QImage* FrameCache::image(quint32 index)
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

const QRegion* FrameCache::region(quint32 index)
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

} // namespace engine::runtime
