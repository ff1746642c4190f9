// libFuzzer entry: every input goes to the character reader and to the decompressor. What the
// reader accepts must decode without faults and survive a write and re-read unchanged.
#include <cstdint>
#include <cstdlib>

#include "agentctl/acs/acs_model.h"
#include "agentctl/acs/lz_codec.h"

using namespace agentctl::acs;

namespace {

// Rewriting compresses every raster again; past this many pixels in all, the round trip is
// skipped so the fuzzer keeps its pace.
constexpr qsizetype MAX_REWRITTEN_PIXELS = 1 << 20;

void checkCharacter(const CharacterFile& character)
{
    qsizetype pixels = 0;
    for (int i = 0; i < character.images.size(); ++i) {
        (void)decodeImage(character, i);
        (void)imageRegion(character, i);
        pixels += character.images[i].rasterSize();
    }
    if (pixels > MAX_REWRITTEN_PIXELS)
        return;
    const QByteArray written = writeCharacterFile(character);
    const Result<CharacterFile> again = readCharacterFile(written);
    if (!again || writeCharacterFile(again.value()) != written)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<CharacterFile> character = readCharacterFile(bytes);
    if (character)
        checkCharacter(character.value());

    // The expected size comes from the input's length so every size gets tried.
    const Result<QByteArray> expanded = decompress(bytes, qsizetype(size) * 3);
    (void)expanded;
    if (!bytes.isEmpty()) {
        const Result<QByteArray> back = decompress(compress(bytes), bytes.size());
        if (!back || back.value() != bytes)
            std::abort();
    }
    return 0;
}
