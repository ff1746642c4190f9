#include "fake_platform.h"

namespace hv::testing {

FakePlatform::FakePlatform(QString applicationFolder, QString windowsFolder)
    : clock(QDate(2026, 12, 5), QTime(9, 0, 30)), m_applicationFolder(std::move(applicationFolder)),
      m_windowsFolder(std::move(windowsFolder))
{}

platform::MessageResult FakePlatform::messageBox(QWidget*, const QString& text,
                                                 const QString& title, platform::MessageIcon icon,
                                                 platform::MessageButtons buttons)
{
    messageBoxes.append({text, title, icon, buttons});
    return answers.isEmpty() ? platform::MessageResult::Ok : answers.takeFirst();
}

} // namespace hv::testing
