#pragma once

#include <QDateTime>
#include <QRect>
#include <QString>

class QWidget;

// Everything the program needs from the outside world. The real implementation uses Qt and
// the system; tests hand the main window a fake that they drive.
namespace hv::platform {

enum class MessageIcon
{
    None,
    Critical,
    Exclamation
};
enum class MessageButtons
{
    Ok,
    YesNo
};
enum class MessageResult
{
    Ok,
    Yes,
    No
};

class Platform
{
public:
    virtual ~Platform() = default;

    // Every reading of "now" goes through here.
    [[nodiscard]] virtual QDateTime now() const = 0;
    // Where Settings.ini, Alarms.dat and the help file live; no trailing separator.
    [[nodiscard]] virtual QString applicationFolder() const = 0;
    // The folder under which chars/ holds the characters; no trailing separator.
    [[nodiscard]] virtual QString windowsFolder() const = 0;
    // The user guide of this copy: in the data folder of an installed copy, beside the
    // executable otherwise. Opened when the application folder holds no help file.
    [[nodiscard]] virtual QString userGuideFile() const = 0;
    // The second place searched for characters when the first has none; ends with a separator.
    [[nodiscard]] virtual QString otherCharacterFolder() const = 0;
    // The primary screen without the desktop's panels, in logical pixels.
    [[nodiscard]] virtual QRect workArea() const = 0;
    [[nodiscard]] virtual int audioOutputCount() const = 0;
    // The file of the Quiet Times choices, in the per-user configuration folder.
    [[nodiscard]] virtual QString quietTimesFile() const = 0;
    // What the desktop says of the user being busy; each is false when it cannot tell.
    [[nodiscard]] virtual bool notificationsInhibited() const = 0;
    [[nodiscard]] virtual bool activeWindowFullScreen() const = 0;
    [[nodiscard]] virtual bool screenLocked() const = 0;

    // A modal message box; returns the button the user pressed.
    virtual MessageResult messageBox(QWidget* parent, const QString& text, const QString& title,
                                     MessageIcon icon, MessageButtons buttons) = 0;
    virtual void openAddress(const QString& address) = 0;
    // Opens the help file at its contents page; false when no program could be started to
    // show it.
    [[nodiscard]] virtual bool openHelp(const QString& helpFile) = 0;
    // Ends the program at once: nothing after this call runs, nothing is saved.
    virtual void endProgram() = 0;
};

} // namespace hv::platform
