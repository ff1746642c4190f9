#include "engine/acs/region.h"

#include <cstring>
#include <vector>

#include <QtEndian>

namespace engine::acs {

namespace {

constexpr int HEADER_SIZE = 32;
constexpr int RECT_SIZE = 16;
constexpr quint32 RECTANGLES_TYPE = 1;

void putInt(char*& out, qint32 value)
{
    qToLittleEndian(value, out);
    out += 4;
}

qint32 intAt(const char* data, int index)
{
    return qFromLittleEndian<qint32>(data + 4 * index);
}

} // namespace

QVector<QRect> opaqueRects(QByteArrayView raster, int width, int height, quint8 transparentIndex)
{
    Q_ASSERT(raster.size() >= qsizetype((width + 3) & ~3) * height);
    const int stride = (width + 3) & ~3;
    QVector<QRect> rects;
    std::vector<int> spans; // start, end pairs of the band being built
    std::vector<int> rowSpans;
    int bandTop = 0;
    const auto closeBand = [&](int bottom) {
        for (size_t s = 0; s < spans.size(); s += 2)
            rects.append(QRect(QPoint(spans[s], bandTop), QPoint(spans[s + 1] - 1, bottom - 1)));
    };
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const quint8*>(raster.data()) + qsizetype(height - 1 - y) * stride;
        rowSpans.clear();
        for (int x = 0; x < width;) {
            while (x < width && row[x] == transparentIndex)
                ++x;
            if (x == width)
                break;
            const int start = x;
            while (x < width && row[x] != transparentIndex)
                ++x;
            rowSpans.push_back(start);
            rowSpans.push_back(x);
        }
        if (rowSpans != spans) {
            closeBand(y);
            spans.swap(rowSpans);
            bandTop = y;
        }
    }
    closeBand(height);
    return rects;
}

QByteArray encodeRegionData(const QVector<QRect>& rects)
{
    QByteArray data(HEADER_SIZE + RECT_SIZE * rects.size(), Qt::Uninitialized);
    char* out = data.data();
    QRect bound;
    for (const QRect& r : rects)
        bound |= r;
    putInt(out, HEADER_SIZE);
    putInt(out, RECTANGLES_TYPE);
    putInt(out, qint32(rects.size()));
    putInt(out, qint32(RECT_SIZE * rects.size()));
    for (const QRect& r : QVector<QRect>{bound} + rects) {
        // An empty region has an all-zero bounding box.
        const bool none = r.isEmpty();
        putInt(out, none ? 0 : r.left());
        putInt(out, none ? 0 : r.top());
        putInt(out, none ? 0 : r.right() + 1);
        putInt(out, none ? 0 : r.bottom() + 1);
    }
    return data;
}

Result<QVector<QRect>> decodeRegionData(QByteArrayView data)
{
    if (data.size() < HEADER_SIZE)
        return ParseError{QStringLiteral("region header truncated"), 0};
    const char* raw = data.data();
    if (quint32(intAt(raw, 0)) != HEADER_SIZE || quint32(intAt(raw, 1)) != RECTANGLES_TYPE)
        return ParseError{QStringLiteral("region header is not a rectangle list"), 0};
    const quint32 count = quint32(intAt(raw, 2));
    if (count > quint64(data.size() - HEADER_SIZE) / RECT_SIZE)
        return ParseError{QStringLiteral("region rectangle count exceeds its data"), 8};
    QVector<QRect> rects;
    rects.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        const char* r = raw + HEADER_SIZE + qsizetype(i) * RECT_SIZE;
        // Images are at most 65535 pixels wide and high; clamping keeps a hostile corner from
        // overflowing QRect's int arithmetic.
        const auto coordinate = [&](int index) { return qBound(0, intAt(r, index), 65536); };
        const int left = coordinate(0);
        const int top = coordinate(1);
        const int right = coordinate(2);
        const int bottom = coordinate(3);
        if (right <= left || bottom <= top)
            continue; // an empty rectangle adds nothing to the shape
        rects.append(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
    }
    return rects;
}

} // namespace engine::acs
