#include "character_compare.h"

#include <QVariant>

using namespace engine::acs;

namespace hv::test {

namespace {

QStringList describeCharacter(const CharacterFile& c)
{
    QStringList lines;
    const auto add = [&](const QString& what, const auto&... values) {
        QStringList parts{what};
        (parts.append(QVariant::fromValue(values).toString()), ...);
        lines.append(parts.join(u' '));
    };
    const CharacterInfo& i = c.info;
    add("info", i.guid.toString(), i.width, i.height, i.transparentIndex, i.flags, i.minorVersion,
        i.majorVersion, i.animationSetMajor, i.animationSetMinor);
    for (const QRgb colour : i.palette)
        add("colour", colour | 0xFF000000);
    if (const auto& v = i.voice)
        add("voice", v->engineId.toString(), v->modeId.toString(), v->speed, v->pitch,
            v->hasExtraData, v->languageId, v->dialect, v->gender, v->age, v->style);
    if (const auto& b = i.balloon)
        add("balloon", b->lines, b->charsPerLine, b->textColor, b->fillColor, b->borderColor,
            b->fontName, b->fontHeight, b->fontWeight, b->italic, b->unknown);
    if (const auto& t = i.trayIcon)
        add("tray", t->mask.toHex(), t->color.toHex());
    for (const State& state : i.states)
        add("state", state.name, state.animations.join(u','));
    for (const LocalizedInfo& l : i.localized)
        add("language", l.languageId, l.name, l.description, l.extraData);
    for (const Animation& a : c.animations) {
        add("animation", a.name, int(a.transition), a.returnAnimation, a.frames.size());
        for (const Frame& f : a.frames) {
            add("frame", f.soundIndex, f.duration, f.exitFrame);
            for (const FrameImage& image : f.images)
                add("image", image.imageIndex, image.x, image.y);
            for (const Branch& branch : f.branches)
                add("branch", branch.frameIndex, branch.probability);
            for (const MouthOverlay& m : f.overlays)
                add("mouth", int(m.shape), m.replaceTopImage, m.imageIndex, m.unknown, m.x, m.y,
                    m.centreX, m.centreY, m.region.value_or(QByteArray()).toHex());
        }
    }
    for (const Image& image : c.images) {
        const Result<QByteArray> pixels = imagePixels(image);
        add("picture", image.width, image.height,
            pixels ? pixels.value().toHex() : QByteArray("undecodable"));
    }
    for (const QByteArray& sound : c.sounds)
        add("sound", sound.toHex());
    return lines;
}

} // namespace

QString firstDifference(const CharacterFile& actual, const CharacterFile& expected)
{
    const QStringList a = describeCharacter(actual);
    const QStringList e = describeCharacter(expected);
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i) {
        if (a.value(i) != e.value(i))
            return QStringLiteral("%1\n  instead of\n%2").arg(a.value(i), e.value(i)).left(500);
    }
    return QString();
}

} // namespace hv::test
