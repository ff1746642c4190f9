// libFuzzer entry: every input goes to the character reader and to the codec. What the reader
// accepts must decode without faults and survive a write and re-read unchanged.
#include <cstdint>
#include <cstdlib>

#include "engine/acs/acs_model.h"
#include "engine/acs/lz_codec.h"

using namespace engine::acs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const Result<CharacterFile> character = readCharacterFile(bytes)) {
        const CharacterFile& c = character.value();
        qsizetype pixels = 0;
        for (int i = 0; i < c.images.size(); ++i) {
            (void)decodeImage(c, i);
            (void)imageRegion(c, i);
            pixels += c.images[i].rasterSize();
        }
        // Rewriting compresses every raster again: big ones would slow the fuzzer down.
        const QByteArray written = pixels > (1 << 20) ? QByteArray() : writeCharacterFile(c);
        const Result<CharacterFile> again = readCharacterFile(written);
        if (!written.isEmpty() && (!again || writeCharacterFile(again.value()) != written))
            std::abort();
    }
    // The expected size comes from the input's length so every size gets tried.
    (void)decompress(bytes, qsizetype(size) * 3);
    if (!bytes.isEmpty()) {
        const Result<QByteArray> back = decompress(compress(bytes), bytes.size());
        if (!back || back.value() != bytes)
            std::abort();
    }
    return 0;
}
