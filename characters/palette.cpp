#include "palette.h"

#include <limits>

namespace hv::characters {
namespace {

constexpr QRgb TRANSPARENT_KEY = 0xff00ff00;

QRgb mix(QRgb a, QRgb b, double t)
{
    const auto channel = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                channel(qBlue(a), qBlue(b)));
}

} // namespace

QVector<QRgb> buildPalette(const QVector<QRgb>& keyColours)
{
    QVector<QRgb> palette{TRANSPARENT_KEY};
    const auto add = [&palette](QRgb c) {
        c |= 0xff000000;
        if (c != TRANSPARENT_KEY && !palette.contains(c) && palette.size() < 256)
            palette.append(c);
    };
    // The first key is the outline, the darkest colour every shade leans towards.
    const QRgb ink = keyColours.isEmpty() ? qRgb(0, 0, 0) : keyColours.front();
    for (QRgb key : keyColours)
        add(key);
    for (QRgb key : keyColours) {
        add(mix(key, ink, 0.35));
        add(mix(key, ink, 0.7));
        add(mix(key, qRgb(255, 255, 255), 0.4));
    }
    for (int i = 0; i < keyColours.size(); ++i) {
        for (int j = i + 1; j < keyColours.size(); ++j)
            add(mix(keyColours[i], keyColours[j], 0.5));
    }
    return palette;
}

Quantiser::Quantiser(QVector<QRgb> palette)
    : m_palette(std::move(palette)), m_opaqueCount(int(m_palette.size()))
{
    m_palette.resize(256, qRgb(0, 0, 0));
}

uchar Quantiser::nearest(QRgb colour)
{
    const auto cached = m_cache.constFind(colour);
    if (cached != m_cache.cend())
        return *cached;
    int best = TRANSPARENT_INDEX;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < m_opaqueCount; ++i) {
        if (i == TRANSPARENT_INDEX)
            continue;
        const QRgb p = m_palette[i];
        const int dr = qRed(p) - qRed(colour);
        const int dg = qGreen(p) - qGreen(colour);
        const int db = qBlue(p) - qBlue(colour);
        // Weighted towards green, as the eye is.
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    m_cache.insert(colour, uchar(best));
    return uchar(best);
}

QImage Quantiser::quantise(const QImage& picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_Indexed8);
    out.setColorTable(m_palette);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* row = out.scanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            row[x] = qAlpha(in[x]) < 128 ? uchar(TRANSPARENT_INDEX) : nearest(in[x] | 0xff000000);
    }
    return out;
}

} // namespace hv::characters
