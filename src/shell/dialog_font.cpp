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
    QFont font(QStringLiteral("MS Sans Serif"));
    // 8 points at 96 dots per inch, as the layout's twips assume (15 twips to the pixel); the
    // face is drawn in its 13-pixel cell at this size.
    font.setPixelSize(11);
    QApplication::setFont(font);
}

} // namespace hv::shell
