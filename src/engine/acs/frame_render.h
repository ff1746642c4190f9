#pragma once

#include <optional>

#include <QImage>
#include <QRegion>

#include "engine/acs/acs_model.h"

namespace engine::acs {

// Where compositing gets a character's images, decoded, by image index: the engine keeps them
// in a cache, the inspection tool decodes each as it comes. Null where an image does not decode.
class ImageSource
{
public:
    virtual ~ImageSource() = default;

    // Premultiplied ARGB.
    [[nodiscard]] virtual const QImage* image(quint32 index) = 0;
    [[nodiscard]] virtual const QRegion* region(quint32 index) = 0;
};

// One frame on a transparent, character-sized, premultiplied ARGB canvas: its images painted
// from the last to the first, then the overlay of `mouth` when the frame has one, in place of
// the top image when the overlay says so and clipped to the figure's outline. Images that do
// not decode are left out.
[[nodiscard]] QImage composeFrame(const CharacterFile& character, const Frame& frame,
                                  std::optional<MouthShape> mouth, ImageSource& images);
// The opaque pixels of composeFrame() for the same arguments, in frame coordinates.
[[nodiscard]] QRegion frameShape(const CharacterFile& character, const Frame& frame,
                                 std::optional<MouthShape> mouth, ImageSource& images);

// composeFrame() in ARGB32 with every image decoded afresh; images that do not decode are left
// out (imageProblems() lists them). An error only when the character has no drawable size.
[[nodiscard]] Result<QImage> renderFrame(const CharacterFile& character, const Frame& frame,
                                         std::optional<MouthShape> mouth = std::nullopt);

} // namespace engine::acs
