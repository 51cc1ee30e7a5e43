#pragma once
// The hub's application object: start-up in the order the program depends on (one
// instance, profile, splash box, command line, tools, main window), the keyboard routing
// of Ctrl+N/O/S and Enter, and the exit that removes the tools.
#include "TOVKContEdit/shared/ToolArchive.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class CMainFormView;
class CMainFrame;
class Profile;
class QKeyEvent;
class RecentFileList;
class SingleInstance;

class COstrelinApp : public QObject
{
    Q_OBJECT
public:
    static constexpr int RecentFileCount = 4;

    // What the command line asks for. The server switches are accepted; there is no
    // registration to write or remove on this platform.
    enum class StartKind
    {
        Normal,
        Embedded,   // "/Embedding", "/Automation": no window, no tools
        Register,   // "/Register", "/Regserver"
        Unregister, // "/Unregister", "/Unregserver"
    };
    static StartKind ParseCommandLine(const QStringList& arguments);

    COstrelinApp();
    ~COstrelinApp() override;
    COstrelinApp(const COstrelinApp&) = delete;
    COstrelinApp& operator=(const COstrelinApp&) = delete;

    // theApp: the application object that lives now (nullptr when none).
    static COstrelinApp* Current();

    // The arguments without the program name. False: the program ends (the reason, if
    // any, was shown).
    bool InitInstance(const QStringList& arguments);
    int ExitInstance();

    // Holds the shared ToolFolder and unpacks the tool archive into it where files are
    // missing; true when every file is there.
    bool LoadToolArchive();

    // The key routing while the main window is active; true when the key was used up.
    bool PreTranslateMessage(QKeyEvent* event);

    CMainFrame* GetMainWnd() const { return m_frame.get(); }
    CMainFormView* GetView() const;
    Profile* GetProfile() const { return m_profile.get(); }

    QString m_strToolFolder;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool CreateMainWindow();

    std::unique_ptr<SingleInstance> m_instance;
    ToolFolderHold m_toolHold;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<RecentFileList> m_recent;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_exited = false;
};
