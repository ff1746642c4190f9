#include "about/about_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "platform/platform.h"
#include "platform/twips.h"

namespace hv::about {

using platform::px;

namespace {

const QColor CYAN(0x00, 0xFF, 0xFF);
const QColor LIGHT_YELLOW(0xFF, 0xFF, 0xC0);

QLabel* label(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* created = new QLabel(caption, parent);
    created->setGeometry(px(left), px(top), px(width), px(height));
    return created;
}

QLabel* coloured(QLabel* target, const QColor& background)
{
    target->setAutoFillBackground(true);
    QPalette colours = target->palette();
    colours.setColor(QPalette::Window, background);
    target->setPalette(colours);
    target->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return target;
}

// The 79 x 115 picture: the program's clock standing on a pedestal, with a speech balloon.
QPixmap aboutPicture()
{
    QPixmap pixmap(79, 115);
    pixmap.fill(QColor(0xE8, 0xF0, 0xFF));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x1D, 0x3F, 0x8A);
    p.setPen(QPen(ink, 3));
    p.setBrush(QColor(0xFD, 0xF6, 0xE3));
    const QRectF face(9, 38, 52, 52);
    p.drawEllipse(face);
    p.setPen(QPen(ink, 2));
    for (int hour = 0; hour < 12; ++hour) {
        p.save();
        p.translate(face.center());
        p.rotate(hour * 30.0);
        p.drawLine(QPointF(0, -22), QPointF(0, -19));
        p.restore();
    }
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(face.center(), face.center() + QPointF(0, -17));
    p.drawLine(face.center(), face.center() + QPointF(12, 5));
    p.setPen(QPen(QColor(0x60, 0x40, 0x20), 2));
    p.setBrush(QColor(0xB0, 0x80, 0x50));
    p.drawRect(QRectF(17, 94, 36, 16));
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x00), 1.5));
    p.setBrush(QColor(0xFF, 0xFF, 0xE1));
    p.drawRoundedRect(QRectF(30, 4, 45, 26), 6, 6);
    p.drawLine(QPointF(44, 30), QPointF(38, 38));
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x00), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(37, 13), QPointF(68, 13));
    p.drawLine(QPointF(37, 21), QPointF(60, 21));
    return pixmap;
}

} // namespace

frmAbout::frmAbout(platform::Platform& platform, QWidget* parent)
    : QDialog(parent), m_platform(platform)
{
    setWindowTitle(QStringLiteral("About Horavox"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The credit lines are longer than the boxes drawn for them in the dialog font: the
    // narrow face of the "Bugs/Comments:" label, at the same size, fits them all.
    QFont narrow = font();
    narrow.setFamily(QStringLiteral("Arial Narrow"));
    setFont(narrow);
    setFixedSize(px(4305), px(3840));

    Image1 = label(this, QString(), 90, 60, 1185, 1725);
    Image1->setPixmap(aboutPicture());
    Label1 =
        coloured(label(this,
                       QStringLiteral("Horavox 2.01 for Linux desktops, with its own character "
                                      "engine built in."),
                       1425, 45, 2760, 660),
                 CYAN);
    Label3 =
        coloured(label(this, QStringLiteral("Created April 24, 2000 by: "), 1425, 705, 2760, 225),
                 LIGHT_YELLOW);
    Label6 =
        coloured(label(this, QStringLiteral("Programming: Dorrit Fenwald"), 1425, 915, 2760, 225),
                 LIGHT_YELLOW);
    // Labels have no mnemonics, so each doubled "&" of the captions is written as the one it
    // shows.
    Label7 = coloured(label(this, QStringLiteral("Concept: Dorrit Fenwald & Osric Brannock"), 1425,
                            1125, 2760, 225),
                      LIGHT_YELLOW);
    Label8 = coloured(
        label(this, QStringLiteral("Enhancements and Q&A: Ilsabet Quarrel"), 1425, 1350, 2760, 225),
        LIGHT_YELLOW);
    cmdOkay = new QPushButton(QStringLiteral("OK"), this);
    cmdOkay->setGeometry(px(1425), px(1605), px(2760), px(330));
    cmdOkay->setDefault(true);

    Label5 = label(this, QStringLiteral("Dorrit's web site:"), 105, 1995, 1095, 225);
    lblCreditA =
        label(this, QStringLiteral("http://www.example.org/~dorrit/"), 1245, 1995, 2910, 225);
    Label4 = label(this, QStringLiteral("Osric's web site:"), 60, 2235, 1155, 225);
    lblCreditC =
        label(this, QStringLiteral("http://www.example.org/osric/none-yet"), 1245, 2235, 2640, 225);
    Label10 = label(this, QStringLiteral("Ilsabet's web site:"), 75, 2475, 1155, 225);
    lblCreditB =
        label(this, QStringLiteral("http://www.example.com/ilsabet/"), 1245, 2475, 2640, 225);
    Label11 = label(this, QStringLiteral("Bugs/Comments:"), 120, 2745, 1080, 225);
    lblCreditAEmail =
        label(this, QStringLiteral("mailto:dorrit@example.org"), 1245, 2760, 2760, 225);
    Label2 = coloured(
        label(this,
              QStringLiteral("Horavox is free. Pass it on to anyone you like, as long as it goes "
                             "whole and unchanged, and nobody is asked to pay for it."),
              210, 3120, 3870, 660),
        CYAN);

    // Times New Roman 8.25 point: the application font's 11 pixels.
    QFont linkFont = QApplication::font();
    linkFont.setFamily(QStringLiteral("Times New Roman"));
    linkFont.setWeight(QFont::Normal);
    for (QLabel* link : {lblCreditA, lblCreditC, lblCreditB, lblCreditAEmail}) {
        link->setFont(linkFont);
        QPalette colours = link->palette();
        colours.setColor(QPalette::WindowText, Qt::blue);
        link->setPalette(colours);
        link->setCursor(Qt::PointingHandCursor);
    }
    // The links that lead somewhere are reached by Tab after OK and opened by Enter or Space.
    for (QLabel* link : {lblCreditA, lblCreditB, lblCreditAEmail}) {
        link->installEventFilter(this);
        link->setFocusPolicy(Qt::StrongFocus);
        link->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted blue; }"));
    }
    Label1->setWordWrap(true);
    Label2->setWordWrap(true);
    connect(cmdOkay, &QPushButton::clicked, this, &QDialog::close);
}

void frmAbout::HyperJump(const QString& URL)
{
    m_platform.openAddress(URL);
}

void frmAbout::lblCreditA_Click()
{
    HyperJump(lblCreditA->text());
}

void frmAbout::lblCreditB_Click()
{
    HyperJump(lblCreditB->text());
}

void frmAbout::lblCreditAEmail_Click()
{
    HyperJump(lblCreditAEmail->text() + QStringLiteral("?Subject=Horavox"));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    // A label is clicked when the button is let go over it, or by a key while it has the focus.
    const auto isKey = [event](int key) {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == key;
    };
    const bool pressed = isKey(Qt::Key_Return) || isKey(Qt::Key_Enter) || isKey(Qt::Key_Space);
    const bool released = event->type() == QEvent::MouseButtonRelease &&
                          static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (released || pressed) {
        if (watched == lblCreditA)
            lblCreditA_Click();
        else if (watched == lblCreditB)
            lblCreditB_Click();
        else if (watched == lblCreditAEmail)
            lblCreditAEmail_Click();
    }
    // Enter on a link opens it and does not also press OK.
    return pressed || QDialog::eventFilter(watched, event);
}

void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    // Etched separators: a white line with a grey one a pixel below and to the right.
    for (int y : {2730, 3000}) {
        p.setPen(Qt::white);
        p.drawLine(px(90), px(y), px(4215), px(y));
        p.setPen(Qt::gray);
        p.drawLine(px(105), px(y + 15), px(4230), px(y + 15));
    }
}

} // namespace hv::about
