#pragma once
// The content editor's application object: start-up in the order the program depends on
// (one instance, profile, command line, convert folder, tools, document and window, the
// file argument, placement), the framework's file commands, and the exit.
#include "TOVKContEdit/shared/ToolArchive.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

class CContentOutput;
class CMainFrame;
class CTOVKContEditDoc;
class Profile;
class RecentFileList;
class SingleInstance;
class QWidget;

class CTOVKContEditApp
{
public:
    static constexpr int ColumnCount = 8;
    // Folders are held like the original's 260-character members: longer ones are refused.
    static constexpr int MaxPath = 260;
    static constexpr int RecentFileCount = 16;

    CTOVKContEditApp();
    virtual ~CTOVKContEditApp();
    CTOVKContEditApp(const CTOVKContEditApp&) = delete;
    CTOVKContEditApp& operator=(const CTOVKContEditApp&) = delete;

    // theApp: the application object that lives now (nullptr when none).
    static CTOVKContEditApp* Current();

    // The arguments without the program name. False: the program does not start (the
    // reason was shown).
    virtual bool InitInstance(const QStringList& arguments);
    virtual int ExitInstance();

    // "Settings" / "ItemWidth": eight numbers, else all eight -1.
    void LoadSettings();
    void SaveSettings();

    // Framework commands.
    void OnFileNew();
    bool OpenDocumentFile(const QString& path);
    void OnOpenRecentFile(int index);
    void AddToRecentFileList(const QString& path);
    void OnAppAbout();
    void OnAppExit();

    // Gives a fresh window min(800, W) x H of the work area, unless it is wider already.
    static void PlaceMainWindow(QWidget& frame, const QRect& workArea);
    QRect WorkArea() const;
    // Tests: the work area to place the window in instead of the screen's.
    void SetWorkArea(const QRect& area) { m_workArea = area; }

    CMainFrame* GetMainWnd() const { return m_frame.get(); }
    CTOVKContEditDoc* GetDocument() const { return m_doc.get(); }
    CContentOutput* GetOutput() const { return m_output.get(); }
    QWidget* GetView() const { return m_view; }
    Profile* GetProfile() const { return m_profile.get(); }
    RecentFileList* GetRecentFileList() const { return m_recent.get(); }

    QString m_szStartFolder;   // the program's own folder; holds the converter
    QString m_szConvertFolder; // the -d folder
    QString m_strToolFolder;   // the unpacked tools; empty when the extraction stopped
    QString m_strToolFolderCopy;
    int m_nColumnWidth[ColumnCount];

private:
    bool CreateMainWindow();
    void RegisterCommands();
    // Holds the shared tool folder and unpacks what is missing; the tool folder, or empty
    // when the unpacking stopped.
    QString LoadTools();
    void RefreshRecentMenu();

    std::unique_ptr<SingleInstance> m_instance;
    ToolFolderHold m_toolHold;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<RecentFileList> m_recent;
    std::unique_ptr<CTOVKContEditDoc> m_doc;
    std::unique_ptr<CContentOutput> m_output;
    std::unique_ptr<CMainFrame> m_frame;
    QWidget* m_view = nullptr;
    QRect m_workArea;
    bool m_exited = false;
};
