#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include "engine/acs/acs_model.h"

// The bit-level LZ77 scheme that character files use for rasters and regions: a 0x00 lead byte,
// then tokens read least-significant bit first, closed by an end marker and 0xFF padding.
namespace engine::acs {

// Expands `stream` into `expectedSize` bytes; what the stream holds past them is ignored, and
// it is an error only when it ends (or marks its end) before them. Error offsets are relative
// to the stream.
[[nodiscard]] Result<QByteArray> decompress(QByteArrayView stream, qsizetype expectedSize);

// The stream for `data`; never call it with empty data (a stream of nothing is too short for
// decoders, so such data is stored raw).
[[nodiscard]] QByteArray compress(QByteArrayView data);

} // namespace engine::acs
