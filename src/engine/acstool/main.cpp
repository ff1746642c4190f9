#include <cmath>
#include <cstdio>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QStringList>
#include <QTextStream>

#include "engine/acs/acs_model.h"
#include "engine/acs/frame_render.h"
#include "engine/acs/wave.h"

// acstool: looks inside character files. Exit status 0 on success, also for a character with
// damaged parts that still plays (they are listed); 1 when the engine would refuse the file or
// a result cannot be written; 2 for a usage error.
using namespace engine::acs;

namespace {

// Larger than any real character by far; refusing more keeps a wrong path from eating memory.
constexpr qint64 MAX_FILE_SIZE = 512LL * 1024 * 1024;
constexpr int EXIT_BAD_FILE = 1;
constexpr int EXIT_USAGE = 2;

const char* const USAGE = "usage: acstool info FILE\n"
                          "       acstool export [--mouths] FILE ANIMATION DIR\n"
                          "       acstool sheet FILE OUT.png\n";

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

int fail(const QString& file, const QString& what)
{
    std::fprintf(stderr, "acstool: %s: %s\n", qPrintable(file), qPrintable(what));
    return EXIT_BAD_FILE;
}

// The character in `path`, or what is wrong with it in one line.
Result<CharacterFile> load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ParseError{QStringLiteral("cannot open: ") + file.errorString(), 0};
    if (file.size() > MAX_FILE_SIZE)
        return ParseError{QStringLiteral("too large for a character file"), 0};
    Result<CharacterFile> read = readPlayableCharacter(file.readAll());
    if (!read) {
        return ParseError{QStringLiteral("%1 (at byte offset %2)")
                              .arg(read.error().what)
                              .arg(read.error().offset),
                          read.error().offset};
    }
    return read;
}

// Names come from the file: control characters could drive the terminal, so they are shown as
// replacement characters.
QString withoutControls(QString text)
{
    for (QChar& c : text) {
        const bool control =
            c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        if (control && c != u'\n')
            c = QChar::ReplacementCharacter;
    }
    return text;
}

// An animation name as part of a file name: separators and dots could reach outside the folder.
QString fileNamePart(QString name)
{
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != u'_' && c != u'-')
            c = u'_';
    }
    return name;
}

QString colour(quint32 colorRef)
{
    return QColor(rgbFromColorRef(colorRef)).name();
}

// Hundredths of a second as seconds.
QString seconds(qint64 hundredths)
{
    return QString::number(double(hundredths) / 100.0, 'f', 2) + QLatin1Char('s');
}

// What of a playable character cannot be drawn or heard, one line each.
QStringList problems(const CharacterFile& c)
{
    QStringList found = imageProblems(c);
    for (qsizetype i = 0; i < c.sounds.size(); ++i) {
        const Result<Sound> sound = readWave(c.sounds[i]);
        if (!sound)
            found.append(QStringLiteral("sound %1: %2").arg(i).arg(sound.error().what));
    }
    if (c.animations.isEmpty())
        found.append(QStringLiteral("it has no animations"));
    return found;
}

void printProblems(const CharacterFile& c)
{
    const QStringList found = problems(c);
    QString report = QStringLiteral("problems:    %1\n").arg(found.size());
    for (const QString& problem : found)
        report += QStringLiteral("  ") + problem + QLatin1Char('\n');
    out() << withoutControls(report);
    out().flush();
}

int info(const QString& path)
{
    const Result<CharacterFile> loaded = load(path);
    if (!loaded)
        return fail(path, loaded.error().what);
    const CharacterFile& c = loaded.value();
    const CharacterInfo& i = c.info;
    QString report;
    QTextStream o(&report);
    const LocalizedInfo* text = i.findLocalizedInfo(0x0409);
    o << "name:        " << (text ? text->name : QString()) << '\n';
    o << "description: " << (text ? text->description : QString()) << '\n';
    o << "version:     " << i.majorVersion << '.' << i.minorVersion << '\n';
    o << "guid:        " << i.guid.toString() << '\n';
    o << "size:        " << i.width << 'x' << i.height << '\n';
    o << "palette:     " << i.palette.size() << " colours, transparent index " << i.transparentIndex
      << '\n';
    o << "flags:       0x" << QString::number(i.flags, 16) << '\n';
    if (i.voice) {
        const VoiceInfo& v = *i.voice;
        o << "voice:       engine " << v.engineId.toString() << " mode " << v.modeId.toString()
          << ", speed "
          << (v.speed == 0xFFFFFFFF ? QStringLiteral("default") : QString::number(v.speed))
          << ", pitch "
          << (v.pitch == 0xFFFF ? QStringLiteral("default") : QString::number(v.pitch));
        if (v.hasExtraData) {
            o << ", language 0x" << QString::number(v.languageId, 16) << " \"" << v.dialect
              << "\", gender " << v.gender << ", age " << v.age << ", style \"" << v.style << '"';
        }
        o << '\n';
    } else {
        o << "voice:       none\n";
    }
    if (i.balloon) {
        const BalloonInfo& b = *i.balloon;
        o << "balloon:     " << b.lines << " lines of " << b.charsPerLine << " characters, font \""
          << b.fontName << "\" height " << b.fontHeight << " weight " << b.fontWeight
          << (b.italic ? " italic" : "") << ", text " << colour(b.textColor) << " fill "
          << colour(b.fillColor) << " border " << colour(b.borderColor) << '\n';
    } else {
        o << "balloon:     none\n";
    }
    o << "tray icon:   " << (i.trayIcon ? "yes" : "no") << '\n';
    o << "languages:  ";
    for (const LocalizedInfo& l : i.localized)
        o << " 0x" << QString::number(l.languageId, 16).rightJustified(4, QLatin1Char('0'));
    o << '\n';
    o << "images:      " << c.images.size() << '\n';
    o << "sounds:      " << c.sounds.size() << '\n';
    o << "states:      " << i.states.size() << '\n';
    for (const State& s : i.states)
        o << "  " << s.name << ": " << s.animations.join(QStringLiteral(", ")) << '\n';
    o << "animations:  " << c.animations.size() << '\n';
    for (const Animation& a : c.animations) {
        qint64 total = 0;
        for (const Frame& f : a.frames)
            total += f.duration;
        o << "  " << a.name << ": " << a.frames.size() << " frames, " << seconds(total);
        if (a.transition == Transition::ReturnAnimation)
            o << ", returns with " << a.returnAnimation;
        else if (a.transition == Transition::ExitBranches)
            o << ", exits by branches";
        o << '\n';
    }
    o.flush();
    out() << withoutControls(report);
    printProblems(c);
    return 0;
}

int exportAnimation(const QString& path, const QString& name, const QString& dirPath, bool mouths)
{
    const Result<CharacterFile> loaded = load(path);
    if (!loaded)
        return fail(path, loaded.error().what);
    const Animation* animation = loaded.value().findAnimation(name);
    if (!animation)
        return fail(path, QStringLiteral("no animation named %1").arg(name));
    QDir dir(dirPath);
    if (!dir.mkpath(QStringLiteral(".")))
        return fail(dirPath, QStringLiteral("cannot create the folder"));

    int written = 0;
    for (qsizetype f = 0; f < animation->frames.size(); ++f) {
        const Frame& frame = animation->frames[f];
        QVector<std::optional<MouthShape>> variants{std::nullopt};
        if (mouths) {
            for (const MouthOverlay& overlay : frame.overlays)
                variants.append(overlay.shape);
        }
        for (const std::optional<MouthShape>& mouth : variants) {
            const Result<QImage> image = renderFrame(loaded.value(), frame, mouth);
            if (!image) {
                return fail(path, QStringLiteral("frame %1 of %2: %3")
                                      .arg(f)
                                      .arg(animation->name, image.error().what));
            }
            QString file = QStringLiteral("%1_%2")
                               .arg(fileNamePart(animation->name))
                               .arg(f, 3, 10, QLatin1Char('0'));
            if (mouth)
                file += QStringLiteral("_mouth%1").arg(int(*mouth));
            const QString target = dir.filePath(file + QStringLiteral(".png"));
            if (!image.value().save(target, "PNG"))
                return fail(target, QStringLiteral("cannot write the picture"));
            ++written;
        }
    }
    out() << "wrote " << written << " pictures to " << QDir::toNativeSeparators(dir.path()) << '\n';
    printProblems(loaded.value());
    return 0;
}

int sheet(const QString& path, const QString& target)
{
    const Result<CharacterFile> loaded = load(path);
    if (!loaded)
        return fail(path, loaded.error().what);
    const CharacterFile& c = loaded.value();
    const qsizetype count = c.animations.size();
    constexpr int LABEL_HEIGHT = 16;
    constexpr int MIN_CELL_WIDTH = 96;
    const int cellWidth = std::max<int>(c.info.width, MIN_CELL_WIDTH);
    const int cellHeight = c.info.height + LABEL_HEIGHT;
    // A character without animations still gets a page, of one empty cell.
    const int columns = std::max(1, int(std::ceil(std::sqrt(double(count)))));
    const int rows = std::max(1, int((count + columns - 1) / columns));
    QImage page(columns * cellWidth, rows * cellHeight, QImage::Format_ARGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (qsizetype i = 0; i < count; ++i) {
        const Animation& a = c.animations[i];
        const QPoint cell(int(i % columns) * cellWidth, int(i / columns) * cellHeight);
        if (!a.frames.isEmpty()) {
            const Result<QImage> image = renderFrame(c, a.frames.first());
            if (image)
                painter.drawImage(cell + QPoint((cellWidth - c.info.width) / 2, 0), image.value());
        }
        const QRect label(cell.x(), cell.y() + c.info.height, cellWidth, LABEL_HEIGHT);
        painter.drawText(label, Qt::AlignCenter,
                         painter.fontMetrics().elidedText(a.name, Qt::ElideRight, cellWidth - 4));
    }
    painter.end();
    if (!page.save(target, "PNG"))
        return fail(target, QStringLiteral("cannot write the picture"));
    out() << "wrote " << count << " animations to " << target << '\n';
    printProblems(c);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // Only the contact sheet draws text, which needs a GUI application; it must not need a
    // display.
    const bool drawsText = argc > 1 && qstrcmp(argv[1], "sheet") == 0;
    if (drawsText && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(drawsText ? new QGuiApplication(argc, argv)
                                                          : new QCoreApplication(argc, argv));
    QStringList args = app->arguments().mid(1);
    const bool mouths = args.removeAll(QStringLiteral("--mouths")) > 0;
    const QString command = args.value(0);
    if (command == QLatin1String("info") && args.size() == 2 && !mouths)
        return info(args[1]);
    if (command == QLatin1String("export") && args.size() == 4)
        return exportAnimation(args[1], args[2], args[3], mouths);
    if (command == QLatin1String("sheet") && args.size() == 3 && !mouths)
        return sheet(args[1], args[2]);
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
}
