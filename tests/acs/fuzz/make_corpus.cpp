// Writes the fuzzer's seed corpus: small characters made with our writer, and bare compressed
// streams for the decompressor. Run it with the corpus folder as its argument.
#include <cstdio>

#include <QDir>
#include <QFile>

#include "agentctl/acs/lz_codec.h"
#include "sample_character.h"

using namespace agentctl::acs;

namespace {

bool save(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fputs("usage: acs_make_corpus DIR\n", stderr);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    CharacterFile full = hv::acs_test::sampleCharacter();
    CharacterFile plain = full;
    plain.info.voice.reset();
    plain.info.balloon.reset();
    plain.info.trayIcon.reset();
    plain.info.palette.clear();
    plain.sounds.clear();
    for (Animation& animation : plain.animations) {
        for (Frame& frame : animation.frames)
            frame.soundIndex = NO_SOUND;
    }
    CharacterFile empty;
    empty.info.localized.append(LocalizedInfo{});

    QByteArray periodic;
    for (int i = 0; i < 3000; ++i)
        periodic.append(char((i * i) % 251));
    const bool ok = save(dir, QStringLiteral("sample.acs"), writeCharacterFile(full)) &&
                    save(dir, QStringLiteral("plain.acs"), writeCharacterFile(plain)) &&
                    save(dir, QStringLiteral("empty.acs"), writeCharacterFile(empty)) &&
                    save(dir, QStringLiteral("stream_run.lz"), compress(QByteArray(700, 'a'))) &&
                    save(dir, QStringLiteral("stream_mixed.lz"), compress(periodic));
    if (!ok) {
        std::fprintf(stderr, "acs_make_corpus: cannot write to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
