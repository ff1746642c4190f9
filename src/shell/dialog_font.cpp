#include "shell/dialog_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace hv::shell {

void useDialogFont()
{
    // Debian's fonts-wine keeps its metric-compatible faces out of fontconfig's folders, for
    // Wine alone; where the system has the face itself, the file is simply not there.
    QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf"));
    // 8 points at 96 dots per inch, as the layout's twips assume (15 twips to the pixel); the
    // face is drawn in its 13-pixel cell at this size.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    // That face holds drawings for this one size only: on a scaled screen (QT_SCALE_FACTOR, a
    // high density display) it would be drawn small and spaced out. A face that scales takes
    // its place there (the package's fonts-liberation), a pixel smaller as its letters are wider.
    if (qApp->devicePixelRatio() != 1.0 && !QFontDatabase::isSmoothlyScalable(font.family())) {
        font.setFamily(QStringLiteral("Liberation Sans"));
        font.setPixelSize(10);
    }
    QApplication::setFont(font);
}

} // namespace hv::shell
