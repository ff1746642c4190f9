#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QRect>
#include <QVector>

#include "engine/acs/acs_model.h"

// Image shapes as Windows RGNDATA: a 32-byte header (size 32, type 1, rectangle count, byte
// count, bounding box) followed by the rectangles, each as left, top, right, bottom with right
// and bottom exclusive, top-down, in bands from top to bottom and left to right.
namespace engine::acs {

// The non-transparent pixels of a bottom-up raster as banded rectangles, top-down: each band is
// a run of rows with the same spans.
[[nodiscard]] QVector<QRect> opaqueRects(QByteArrayView raster, int width, int height,
                                         quint8 transparentIndex);

[[nodiscard]] QByteArray encodeRegionData(const QVector<QRect>& rects);

// Ignores the header's byte count, which real files often get wrong.
[[nodiscard]] Result<QVector<QRect>> decodeRegionData(QByteArrayView data);

} // namespace engine::acs
