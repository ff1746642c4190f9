// Writes the program's mark as the desktop's icon files: OUT/<n>x<n>/apps/horavox.png for each
// size desktops commonly look for.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>

#include "pictures/pictures.h"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeicons OUTPUT_FOLDER\n");
        return 2;
    }
    // Drawing needs no display; a build machine may have none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder) ||
            !hv::pictures::markPicture(size).save(folder + QStringLiteral("/horavox.png"))) {
            std::fprintf(stderr, "makeicons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
