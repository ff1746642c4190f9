#include "agentctl/acs/frame_render.h"

#include <algorithm>
#include <climits>

#include <QPainter>

namespace agentctl::acs {

namespace {

std::optional<ParseError> drawImage(QPainter& painter, const CharacterFile& character,
                                    int imageIndex, QPoint at)
{
    const Result<QImage> image = decodeImage(character, imageIndex);
    if (!image)
        return image.error();
    if (!image.value().isNull())
        painter.drawImage(at, image.value());
    return std::nullopt;
}

} // namespace

Result<QImage> renderFrame(const CharacterFile& character, const Frame& frame,
                           std::optional<MouthShape> mouth)
{
    QImage canvas(character.info.width, character.info.height, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return ParseError{QStringLiteral("the character has no drawable size"), 0};
    canvas.fill(Qt::transparent);
    const MouthOverlay* overlay = nullptr;
    if (mouth) {
        const auto found = std::find_if(frame.overlays.begin(), frame.overlays.end(),
                                        [&](const MouthOverlay& o) { return o.shape == *mouth; });
        overlay = found == frame.overlays.end() ? nullptr : &*found;
    }
    {
        QPainter painter(&canvas);
        // The first image is the top layer, so paint from the last one up.
        const qsizetype skipped = overlay && overlay->replaceTopImage ? 1 : 0;
        for (qsizetype i = frame.images.size() - 1; i >= skipped; --i) {
            const FrameImage& layer = frame.images[i];
            const int index = int(std::min<quint32>(layer.imageIndex, INT_MAX));
            if (auto error = drawImage(painter, character, index, QPoint(layer.x, layer.y))) {
                return *error;
            }
        }
        if (overlay) {
            if (auto error = drawImage(painter, character, overlay->imageIndex,
                                       QPoint(overlay->x, overlay->y))) {
                return *error;
            }
        }
    }
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

} // namespace agentctl::acs
