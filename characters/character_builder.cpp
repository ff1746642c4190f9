#include "character_builder.h"

#include <QHash>
#include <QImage>
#include <QPainter>

#include "choreography.h"
#include "little_endian.h"
#include "palette.h"
#include "pose.h"

namespace hv::characters {
namespace {

using namespace engine::acs;

constexpr int MOUTH_SHAPES = 7;
constexpr int ICON_SIZE = 16;

QImage render(const CharacterDesign& design, const Pose& pose)
{
    QImage picture(FRAME_WIDTH, FRAME_HEIGHT, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    design.paint(painter, pose);
    return picture;
}

QRect opaqueBounds(const QImage& indexed)
{
    QRect bounds;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            if (row[x] != TRANSPARENT_INDEX)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Adds pictures to the character's image list once each: the rest pose and its mouths recur
// in many animations.
class ImageTable final
{
public:
    explicit ImageTable(QVector<Image>& images) : m_images(images) {}

    [[nodiscard]] quint32 add(const QImage& indexed)
    {
        Image image = imageFromIndexed(indexed);
        QByteArray key = image.pixels;
        appendLe16(key, image.width);
        appendLe16(key, image.height);
        const auto found = m_index.constFind(key);
        if (found != m_index.cend())
            return *found;
        const auto index = quint32(m_images.size());
        m_images.append(std::move(image));
        m_index.insert(key, index);
        return index;
    }

private:
    QVector<Image>& m_images;
    QHash<QByteArray, quint32> m_index;
};

class Builder final
{
public:
    Builder(const CharacterDesign& design, CharacterFile& character)
        : m_design(design), m_character(character), m_quantiser(buildPalette(design.keyColours)),
          m_table(character.images)
    {}

    [[nodiscard]] bool addAnimation(const AnimationScript& script, QString* error)
    {
        Animation animation;
        animation.name = script.name;
        animation.transition = script.transition;
        animation.returnAnimation = script.returnAnimation;
        for (int i = 0; i < script.frames.size(); ++i) {
            const FrameScript& step = script.frames[i];
            Frame frame;
            frame.duration = step.duration;
            frame.exitFrame = step.exitFrame;
            frame.branches = step.branches;
            frame.soundIndex = soundIndex(step.sound);
            if (!step.hidden) {
                const QImage picture = m_quantiser.quantise(render(m_design, step.pose));
                const QRect box = opaqueBounds(picture);
                if (!box.isEmpty()) {
                    frame.images.append(FrameImage{m_table.add(picture.copy(box)), qint16(box.x()),
                                                   qint16(box.y())});
                }
                if (step.speakable && !addMouths(step.pose, picture, frame)) {
                    *error = QStringLiteral("%1: frame %2 of %3: a mouth shape reaches outside "
                                            "its box or off the face")
                                 .arg(m_design.name)
                                 .arg(i)
                                 .arg(script.name);
                    return false;
                }
            }
            animation.frames.append(frame);
        }
        m_character.animations.append(animation);
        return true;
    }

private:
    [[nodiscard]] static quint16 soundIndex(Sound sound)
    {
        // The order of CharacterFile::sounds, as buildCharacter() fills it.
        switch (sound) {
        case Sound::Announce:
            return 0;
        case Sound::Show:
            return 1;
        case Sound::None:
            break;
        }
        return NO_SOUND;
    }

    // One overlay per mouth shape, each the mouth box cut from the frame drawn with that mouth.
    // Drawn over the frame they must change nothing outside the box and leave no hole in it.
    [[nodiscard]] bool addMouths(const Pose& pose, const QImage& picture, Frame& frame)
    {
        const QPointF centre = m_design.mouthCentre(pose);
        const QSize size = m_design.mouthBox;
        const QRect box(QPoint(qRound(centre.x() - size.width() / 2.0),
                               qRound(centre.y() - size.height() / 2.0)),
                        size);
        if (!picture.rect().contains(box))
            return false;
        for (int shape = 0; shape < MOUTH_SHAPES; ++shape) {
            Pose speaking = pose;
            speaking.mouth = shape;
            const QImage mouth = m_quantiser.quantise(render(m_design, speaking));
            for (int y = 0; y < mouth.height(); ++y) {
                const uchar* drawn = mouth.constScanLine(y);
                const uchar* under = picture.constScanLine(y);
                for (int x = 0; x < mouth.width(); ++x) {
                    const bool inside = box.contains(x, y);
                    if (!inside && drawn[x] != under[x])
                        return false;
                    if (inside && drawn[x] == TRANSPARENT_INDEX && under[x] != TRANSPARENT_INDEX)
                        return false;
                }
            }
            MouthOverlay overlay;
            overlay.shape = MouthShape(shape);
            overlay.imageIndex = quint16(m_table.add(mouth.copy(box)));
            overlay.x = qint16(box.x());
            overlay.y = qint16(box.y());
            frame.overlays.append(overlay);
        }
        const std::optional<QPoint> middle = mouthCentre(m_character, frame.overlays.front());
        if (!middle)
            return false;
        for (MouthOverlay& overlay : frame.overlays) {
            overlay.centreX = quint16(middle->x());
            overlay.centreY = quint16(middle->y());
        }
        return true;
    }

    const CharacterDesign& m_design;
    CharacterFile& m_character;
    Quantiser m_quantiser;
    ImageTable m_table;
};

void appendBitmapHeader(QByteArray& out, int bitsPerPixel, int rowBytes)
{
    appendLe32(out, 40);
    appendLe32(out, ICON_SIZE);
    appendLe32(out, ICON_SIZE);
    appendLe16(out, 1);
    appendLe16(out, quint16(bitsPerPixel));
    appendLe32(out, 0); // uncompressed
    appendLe32(out, quint32(rowBytes * ICON_SIZE));
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
}

void appendColourEntry(QByteArray& out, QRgb colour)
{
    out.append(char(qBlue(colour)));
    out.append(char(qGreen(colour)));
    out.append(char(qRed(colour)));
    out.append('\0');
}

// `indexed` shrunk to size x size, each pixel the commonest palette index of its block: an
// average would blur the few pixels of an eye into grey.
QImage shrinkByVote(const QImage& indexed, int size)
{
    const QVector<QRgb> palette = indexed.colorTable();
    QImage small(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            QHash<int, int> votes;
            for (int v = y * indexed.height() / size; v < (y + 1) * indexed.height() / size; ++v) {
                for (int u = x * indexed.width() / size; u < (x + 1) * indexed.width() / size; ++u)
                    ++votes[indexed.pixelIndex(u, v)];
            }
            // Ties go to the lower index, so the result does not depend on hash order.
            int best = TRANSPARENT_INDEX;
            for (auto it = votes.cbegin(); it != votes.cend(); ++it) {
                if (it.value() > votes.value(best) ||
                    (it.value() == votes.value(best) && it.key() < best))
                    best = it.key();
            }
            small.setPixel(x, y, best == TRANSPARENT_INDEX ? 0 : palette[best]);
        }
    }
    return small;
}

// The face of the rest pose at 16 x 16: an AND mask (1 = see-through) and a 16-colour picture,
// each a packed bitmap with its rows bottom-up.
TrayIcon trayIcon(const CharacterDesign& design, Quantiser& quantiser)
{
    const QImage face = quantiser.quantise(render(design, restPose())).copy(design.iconArea);
    // Black at the background index: the colour under the mask's see-through pixels.
    QVector<QRgb> colours{qRgb(0, 0, 0)};
    for (int i = 0; i < design.keyColours.size() && colours.size() < 16; ++i)
        colours.append(design.keyColours[i] | 0xff000000);
    colours.resize(16, qRgb(0, 0, 0));
    const QImage small = Quantiser(colours).quantise(shrinkByVote(face, ICON_SIZE));

    constexpr int maskRow = 4;
    constexpr int colourRow = 8;
    TrayIcon icon;
    appendBitmapHeader(icon.mask, 1, maskRow);
    appendColourEntry(icon.mask, qRgb(0, 0, 0));
    appendColourEntry(icon.mask, qRgb(255, 255, 255));
    appendBitmapHeader(icon.color, 4, colourRow);
    for (QRgb c : colours)
        appendColourEntry(icon.color, c);
    for (int y = ICON_SIZE - 1; y >= 0; --y) {
        QByteArray mask(maskRow, '\0');
        QByteArray colour(colourRow, '\0');
        for (int x = 0; x < ICON_SIZE; ++x) {
            const int index = small.pixelIndex(x, y);
            if (index == TRANSPARENT_INDEX)
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
            else
                colour[x / 2] = char(colour[x / 2] | (x % 2 == 0 ? index << 4 : index));
        }
        icon.mask.append(mask);
        icon.color.append(colour);
    }
    return icon;
}

} // namespace

QVector<CharacterDesign> bundledDesigns()
{
    return {tockDesign(), olwenDesign(), pimDesign()};
}

std::optional<CharacterFile> buildCharacter(const CharacterDesign& design, QString* error)
{
    CharacterFile character;
    character.sounds = {design.announceSound, design.showSound};
    Builder builder(design, character);
    for (const AnimationScript& script : choreography()) {
        if (!builder.addAnimation(script, error))
            return std::nullopt;
    }

    CharacterInfo& info = character.info;
    info.guid = design.guid;
    info.width = FRAME_WIDTH;
    info.height = FRAME_HEIGHT;
    info.transparentIndex = TRANSPARENT_INDEX;
    info.flags = FLAG_VOICE_ENABLED | FLAG_BALLOON_ENABLED | FLAG_STANDARD_ANIMATION_SET;
    info.voice = design.voice;
    info.balloon = design.balloon;
    info.palette = buildPalette(design.keyColours);
    info.palette.resize(256, qRgb(0, 0, 0));
    Quantiser quantiser(buildPalette(design.keyColours));
    info.trayIcon = trayIcon(design, quantiser);
    info.states = stateTable();
    for (quint16 language : {quint16(0x0409), LANGID_ENGLISH_NEUTRAL})
        info.localized.append(LocalizedInfo{language, design.name, design.description, {}});
    return character;
}

} // namespace hv::characters
