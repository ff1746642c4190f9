#pragma once

#include <QCache>
#include <QImage>
#include <QRegion>

#include "engine/acs/frame_render.h"

namespace engine::runtime {

// A character's images and shapes, decoded on first use and kept in a cache bounded in bytes,
// since a large character expands to far more than it occupies on disk.
class FrameCache final : public acs::ImageSource
{
public:
    explicit FrameCache(const acs::CharacterFile& character);

    [[nodiscard]] const QImage* image(quint32 index) override;
    [[nodiscard]] const QRegion* region(quint32 index) override;

private:
    const acs::CharacterFile& m_character;
    QCache<quint32, QImage> m_images;
    QCache<quint32, QRegion> m_regions;
};

} // namespace engine::runtime
