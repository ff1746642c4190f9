#pragma once

#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "fake_platform.h"
#include "recording_agent.h"
#include "shell/main_window.h"
#include "test_files.h"

namespace hv::testing {

// A window started as the program starts: a temporary application folder, and a temporary
// windows folder whose chars/ holds whatever character files the test puts there.
// The locale is en_US for the length of the fixture so captions read the same everywhere.
class WindowFixture final
{
public:
    WindowFixture() : platform(app.path(), windows.path())
    {
        QDir().mkpath(charsFolder());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    ~WindowFixture()
    {
        window.reset();
        QLocale::setDefault(m_savedLocale);
    }

    [[nodiscard]] QString charsFolder() const { return windows.path() + "/chars/"; }
    [[nodiscard]] QString settingsPath() const { return app.path() + "/Settings.ini"; }
    [[nodiscard]] QString alarmsPath() const { return app.path() + "/Alarms.dat"; }

    // Creates small files (and their folders) under root; paths are relative to it.
    static void putFiles(const QString& root, const QStringList& relativePaths)
    {
        for (const QString& relative : relativePaths)
            writeFile(root + '/' + relative, "character");
    }
    void writeSettings(const QString& name, const QString& folder)
    {
        writeFile(settingsPath(),
                  QString("\"%1\",1,1,2,1,#FALSE#,\"%2\"\r\n").arg(name, folder).toUtf8());
    }

    shell::frmHoravox& start()
    {
        window = std::make_unique<shell::frmHoravox>(platform, agent);
        return *window;
    }

    QTemporaryDir app;
    QTemporaryDir windows;
    FakePlatform platform;
    RecordingAgent agent;
    std::unique_ptr<shell::frmHoravox> window;

private:
    QLocale m_savedLocale;
};

} // namespace hv::testing
