#pragma once

#include <optional>

#include <QCache>
#include <QImage>
#include <QRegion>

namespace agentctl::acs {
struct CharacterFile;
struct Frame;
enum class MouthShape : quint8;
} // namespace agentctl::acs

namespace agentctl::runtime {

// Turns a frame into the pixels and the shape of the character window. Images are decoded on
// first use and kept in a cache bounded in bytes, since a large character expands to far more
// than it occupies on disk.
class FrameCompositor final
{
public:
    explicit FrameCompositor(const acs::CharacterFile& character);

    // Character-sized, premultiplied ARGB: the frame's images painted from the last to the
    // first, with the overlay of `mouth` when the frame has one. Images that fail to decode or
    // lie outside the character are left out.
    [[nodiscard]] QImage compose(const acs::Frame& frame, std::optional<acs::MouthShape> mouth);
    // The opaque pixels of compose() for the same arguments, in window coordinates.
    [[nodiscard]] QRegion shape(const acs::Frame& frame, std::optional<acs::MouthShape> mouth);

private:
    [[nodiscard]] const QImage* image(quint32 index);
    [[nodiscard]] const QRegion* region(quint32 index);

    const acs::CharacterFile& m_character;
    QCache<quint32, QImage> m_images;
    QCache<quint32, QRegion> m_regions;
};

} // namespace agentctl::runtime
