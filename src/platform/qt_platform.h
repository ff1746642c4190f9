#pragma once

#include "platform/platform.h"

namespace hv::platform {

// The real world: system clock, files beside the executable, the primary screen, PulseAudio
// devices through Qt Multimedia, QMessageBox and the desktop's default handlers.
class QtPlatform final : public Platform
{
public:
    // Decides the application folder once (see chooseApplicationFolder).
    QtPlatform();

    [[nodiscard]] QDateTime now() const override;
    [[nodiscard]] QString applicationFolder() const override;
    [[nodiscard]] QString windowsFolder() const override;
    [[nodiscard]] QString userGuideFile() const override;
    [[nodiscard]] QString otherCharacterFolder() const override;
    [[nodiscard]] QRect workArea() const override;
    [[nodiscard]] int audioOutputCount() const override;
    [[nodiscard]] QString quietTimesFile() const override;
    [[nodiscard]] bool notificationsInhibited() const override;
    [[nodiscard]] bool activeWindowFullScreen() const override;
    [[nodiscard]] bool screenLocked() const override;
    MessageResult messageBox(QWidget* parent, const QString& text, const QString& title,
                             MessageIcon icon, MessageButtons buttons) override;
    void openAddress(const QString& address) override;
    [[nodiscard]] bool openHelp(const QString& helpFile) override;
    [[noreturn]] void endProgram() override;

private:
    QString m_applicationFolder;
    QString m_windowsFolder;
    QString m_dataFolder;
    QString m_otherCharacterFolder;
};

} // namespace hv::platform
