#pragma once

#include <array>

#include <QDialog>

class QLabel;
class QPushButton;

namespace hv::platform {
class Platform;
}

namespace hv::about {

// The About dialog: the program, its version, its authors and their links. Not modal; OK
// closes and destroys it, so every opening starts afresh.
class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    // The dialog does not take ownership of the platform.
    explicit frmAbout(platform::Platform& platform, QWidget* parent = nullptr);

    // Hands the address to the desktop's default handler (browser, mail program). Whether
    // one was found is not looked at: nothing is shown either way.
    void HyperJump(const QString& URL);
    void lblCreditA_Click();
    void lblCreditB_Click();
    void lblCreditAEmail_Click();

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* cmdOkay = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblCreditA = nullptr;
    QLabel* Label4 = nullptr;
    // Looks like a link but leads nowhere: the second author has no page yet.
    QLabel* lblCreditC = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* lblCreditB = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* lblCreditAEmail = nullptr;
    QLabel* Label2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    platform::Platform& m_platform;
};

} // namespace hv::about
