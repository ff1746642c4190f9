#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>

#include "characters/character_builder.h"
#include "engine/acs/acs_model.h"

// makecharacters OUTPUT_FOLDER: draws the bundled characters and writes each as
// OUTPUT_FOLDER/<name>.acs.
int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makecharacters OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    // Drawing needs no screen; the offscreen platform keeps the build free of a display.
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char* qtArguments[] = {argv[0], platformOption, platformName, nullptr};
    int qtCount = 3;
    QGuiApplication app(qtCount, qtArguments);

    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "makecharacters: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    for (const hv::characters::CharacterDesign& design : hv::characters::bundledDesigns()) {
        QString error;
        const auto character = hv::characters::buildCharacter(design, &error);
        if (!character) {
            std::fprintf(stderr, "makecharacters: %s\n", qPrintable(error));
            return 1;
        }
        QSaveFile file(QDir(folder).filePath(design.fileName + QStringLiteral(".acs")));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(engine::acs::writeCharacterFile(*character)) < 0 || !file.commit()) {
            std::fprintf(stderr, "makecharacters: cannot write %s: %s\n",
                         qPrintable(file.fileName()), qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}
