#pragma once
// The hub's only view: the step tabs with their eight pages, the project file's identity,
// the program folders, the two editor processes, and the file and editor commands.
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/ui/ChildProcesses.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class CCallEditorDialog;
class CConfigDialog;
class CContentListDialog;
class CFeedbackDialog;
class CFileSelectDialog;
class COstrelinDoc;
class COutputDialog;
class COutputRun;
class CProgressDlg;
class CProgressTabCtrl;
class CStepPage;
class CTitleEditDialog;
class CWdbListDialog;
class QFrame;

// ProjectFolder/convert of a project file ("/Guide.olx" gives "/convert").
QString ConvertFolderOf(const QString& projectPath);

class CMainFormView : public QWidget, public CProjectHost
{
    Q_OBJECT
public:
    explicit CMainFormView(QWidget* parent = nullptr);
    ~CMainFormView() override;

    // Creates the eight pages, sizes the form and shows tab 0.
    void OnInitialUpdate();
    void UpdateWindowTitle() override;
    void UpdateAllPages();

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave() override;
    bool OnUpdateFileSave() const;
    void OnFileSaveAs();
    void OnAppExit();
    void OnAppAbout();

    // Editor launch: start, wait in the modal box, take over the results.
    void OnContentEditor();
    void OnQueryEditor();
    // True when the hub may close: no editor it started still runs.
    bool CheckEditorsClosed();
    // The wait box's test: either editor still runs.
    bool IsAnyEditorRunning() const;

    // The output of this project (MainFormViewOutput.cpp) under the given progress, its
    // tools and waits the hub's.
    COutputRun OutputRun(CProgressDlg* progress) const;
    // The run's check and the run itself under m_pProgressDlg: the check is true when its
    // report stays empty, or after a cancel; the run always returns true, and *cancelled is
    // false only when it went through.
    bool CheckStepData(QString& report, bool* cancelled);
    bool RunOutput(bool* cancelled);
    // Before an output: content data converted behind the hub's back (a content editor
    // started by hand) is scanned again and the pages show it.
    void RescanChangedContent();

    COstrelinDoc* GetDocument() const { return m_pDocument.get(); }
    COstrelinDoc* GetActiveDocument() override { return m_pDocument.get(); }
    QString GetProjectPath() const override { return m_strProjectPath; }
    void UpdateStepStates() override;
    CProgressTabCtrl* GetTabs() const { return m_tabSteps; }

    QString m_strProjectPath;
    QString m_strAppFolder;
    QString m_strBinFolder;
    CProcessHolder m_piContentEditor;
    CProcessHolder m_piQueryEditor;
    CFileSelectDialog* m_pFileSelectPage = nullptr;
    CCallEditorDialog* m_pCallEditorPage = nullptr;
    CConfigDialog* m_pConfigPage = nullptr;
    CTitleEditDialog* m_pTitleEditPage = nullptr;
    CContentListDialog* m_pContentListPage = nullptr;
    CWdbListDialog* m_pWdbListPage = nullptr;
    COutputDialog* m_pOutputPage = nullptr;
    CFeedbackDialog* m_pFeedbackPage = nullptr;
    // The progress dialog of the running output; null otherwise, also once it is gone.
    QPointer<CProgressDlg> m_pProgressDlg;
    CProgressTabCtrl* m_tabSteps = nullptr;

private:
    struct EditorKind;
    void LaunchEditor(const EditorKind& kind);
    // The editor's start-failure message, with the reason when Wine could not run it.
    static void EditorNotStarted(const EditorKind& kind, const ToolResult& result);
    // The open project is replaced only by a document that loaded completely.
    bool OpenInto(const QString& path);
    // Reads the project file again in place of the data in the window.
    void ReloadProject();
    // The message, and why the system refused the save.
    void ShowSaveFailure(unsigned message);
    void RememberProjectFile(const QString& path);
    QString InitialProjectName() const;

public:
    // Commands that change, replace, save or leave the project are refused while the
    // output runs or a started program is waited for.
    bool IsBusy() const;

private:
    std::unique_ptr<COstrelinDoc> m_pDocument;
    QFrame* m_pane = nullptr;
};
