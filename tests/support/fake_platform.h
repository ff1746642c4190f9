#pragma once

#include <QList>
#include <QStringList>

#include "platform/platform.h"

namespace hv::testing {

// A platform the test drives: it holds the clock, the screen and the device count, answers
// message boxes from a script and records what the program asked of the world.
class FakePlatform final : public platform::Platform
{
public:
    struct MessageBox
    {
        QString text;
        QString title;
        platform::MessageIcon icon;
        platform::MessageButtons buttons;
    };

    // The application folder and the character root; both without a trailing separator.
    explicit FakePlatform(QString applicationFolder, QString windowsFolder = {});

    QDateTime clock;
    QRect screen{0, 0, 1024, 768};
    int audioOutputs = 1;
    QString otherFolder;
    QString guideFile = QStringLiteral("/usr/share/horavox/horavox.html");
    // Answers given to the next message boxes, in order; Ok when the script has run out.
    QList<platform::MessageResult> answers;

    QList<MessageBox> messageBoxes;
    QStringList openedAddresses;
    QStringList helpRequests;
    bool helpOpens = true; // a program to show the help file is found
    int endRequests = 0;
    // What the desktop reports.
    bool doNotDisturb = false;
    bool fullScreen = false;
    bool locked = false;

    [[nodiscard]] QDateTime now() const override { return clock; }
    [[nodiscard]] QString applicationFolder() const override { return m_applicationFolder; }
    [[nodiscard]] QString windowsFolder() const override { return m_windowsFolder; }
    [[nodiscard]] QString userGuideFile() const override { return guideFile; }
    [[nodiscard]] QString otherCharacterFolder() const override { return otherFolder; }
    [[nodiscard]] QRect workArea() const override { return screen; }
    [[nodiscard]] int audioOutputCount() const override { return audioOutputs; }
    [[nodiscard]] QString quietTimesFile() const override
    {
        return m_applicationFolder + QStringLiteral("/Quiet Times.ini");
    }
    [[nodiscard]] bool notificationsInhibited() const override { return doNotDisturb; }
    [[nodiscard]] bool activeWindowFullScreen() const override { return fullScreen; }
    [[nodiscard]] bool screenLocked() const override { return locked; }
    platform::MessageResult messageBox(QWidget* parent, const QString& text, const QString& title,
                                       platform::MessageIcon icon,
                                       platform::MessageButtons buttons) override;
    void openAddress(const QString& address) override { openedAddresses.append(address); }
    bool openHelp(const QString& helpFile) override
    {
        helpRequests.append(helpFile);
        return helpOpens;
    }
    void endProgram() override { ++endRequests; }

private:
    QString m_applicationFolder;
    QString m_windowsFolder;
};

} // namespace hv::testing
