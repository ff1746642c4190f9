#pragma once

#include <QHash>
#include <QImage>
#include <QRgb>
#include <QVector>

namespace hv::characters {

// Palette index of the background in every bundled character.
inline constexpr int TRANSPARENT_INDEX = 0;

// A 256-entry palette around a character's own colours: each key colour, its darker and lighter
// shades and the midpoint of every pair, which is what anti-aliased edges between two fills
// turn into. Index TRANSPARENT_INDEX holds a green no drawing uses.
[[nodiscard]] QVector<QRgb> buildPalette(const QVector<QRgb>& keyColours);

// Maps anti-aliased drawings onto a palette: a pixel at least half covered takes the nearest
// opaque colour, the rest become the transparent index, so no edge pixel is half see-through.
class Quantiser final
{
public:
    explicit Quantiser(QVector<QRgb> palette);

    // `picture` is ARGB32 (premultiplied or not); the result is Format_Indexed8 with the palette
    // as its colour table.
    [[nodiscard]] QImage quantise(const QImage& picture);

private:
    [[nodiscard]] uchar nearest(QRgb colour);

    QVector<QRgb> m_palette;
    int m_opaqueCount = 0;
    QHash<QRgb, uchar> m_cache;
};

} // namespace hv::characters
