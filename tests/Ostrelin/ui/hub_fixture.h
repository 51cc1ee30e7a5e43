#pragma once
// The hub's test bench: the Japanese string table and version block, the scripted message
// and file-dialog backends, and a temporary AppFolder whose bin folder holds the stand-in
// editors. A project is made on disk with a few content data files when a test needs one.
#include "Ostrelin/ContentFixtures.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/ui/ChildProcesses.h"
#include "Ostrelin/ui/MainFormView.h"
#include "Ostrelin/ui/MainFrame.h"
#include "Ostrelin/ui/VersionBlock.h"
#include "common/StandinRecord.h"
#include "common/TestSupport.h"
#include "platform/FileDialogs.h"
#include "platform/RecordingMessages.h"
#include "platform/Spreadsheet.h"
#include "platform/Strings.h"
#include "platform/VersionInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace HubFixture
{
inline const QString kAppTitle = QStringLiteral("QuorvaneKP ガイド エディタ");

// Copies a built program into the folder under the given name.
inline QString InstallProgram(const QString& source, const QString& folder, const QString& name)
{
    QDir().mkpath(folder);
    const QString target = folder + u'/' + name;
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return QString();
    QFile::setPermissions(target, QFile::permissions(source));
    return target;
}

using TestSupport::RecordValues;

// A start of an editor that hands a saved file over: what the stand-in is told to do, the
// file the project then names, and whether that leaves the project changed.
struct HandOverCase
{
    const char* name;
    QStringList control;
    QString expectedXml;
    bool modified;
};

class Bench : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        VersionInfo::Install(&OstrelinVersionBlock());
        m_appFolder = TestSupport::NewFolder(QStringLiteral("app"));
        m_binFolder = m_appFolder + QStringLiteral("/bin");
        QDir().mkpath(m_binFolder);
        SetAppFolderOverride(m_appFolder);
        m_spreadsheet.installed = false;
    }

    void TearDown() override
    {
        m_frame.reset();
        SetAppFolderOverride(QString());
        qunsetenv("EDITORSTUB_CONTROL");
        qunsetenv("EDITORSTUB_RECORD");
    }

    // The frame and the view as the application makes them.
    CMainFormView& MakeView()
    {
        m_frame = std::make_unique<CMainFrame>();
        m_frame->OnCreate();
        auto* view = new CMainFormView(m_frame.get());
        m_frame->SetView(view);
        view->OnInitialUpdate();
        return *view;
    }

    // Fresh record folder and control file for the editor stand-ins, named to them in the
    // form `toolPath` gives (a Windows editor wants Windows paths).
    void UseEditorStandins(const std::function<QString(const QString&)>& toolPath = {})
    {
        const auto forTool = [&toolPath](const QString& path)
        { return toolPath ? toolPath(path) : path; };
        m_record = TestSupport::NewFolder(QStringLiteral("record"));
        qputenv("EDITORSTUB_RECORD", forTool(m_record).toUtf8());
        m_control =
            TestSupport::NewFolder(QStringLiteral("control")) + QStringLiteral("/editor.control");
        qputenv("EDITORSTUB_CONTROL", forTool(m_control).toUtf8());
    }

    void Control(const QStringList& lines)
    {
        TestSupport::WriteFile(m_control, lines.join(u'\n').toUtf8());
    }

    QString Record(int run = 1) const { return m_record + QStringLiteral("/run-%1.txt").arg(run); }

    CMainFormView& View() { return *m_frame->GetActiveView(); }
    COstrelinDoc& Doc() { return *View().GetDocument(); }

    // A project file in a fresh folder, with works (work number, JP description) as the
    // converter leaves them.
    QString MakeProject(const QString& folderName, const QList<int>& works = {},
                        const QString& fileName = QStringLiteral("GuideData.olx"))
    {
        const QString folder = TestSupport::NewFolder(folderName);
        int fileNo = 0;
        for (int work : works)
            ContentFixtures::WriteWork(folder, QStringLiteral("JP"), ++fileNo, quint32(work),
                                       QStringLiteral("work %1").arg(work));
        COstrelinDoc doc;
        doc.SetDefaultXmlPaths(folder + u'/' + fileName);
        EXPECT_TRUE(doc.OnSaveDocument(folder + u'/' + fileName));
        return folder + u'/' + fileName;
    }

    // Opens the project through the Open command.
    void OpenProject(const QString& path)
    {
        m_dialogs.Answer(path);
        View().OnFileOpen();
        ASSERT_EQ(View().m_strProjectPath, path);
    }

    QString Title() const { return m_frame->windowTitle(); }

    QString m_appFolder;
    QString m_binFolder;
    QString m_record;
    QString m_control;
    RecordingMessages m_messages;
    ScriptedFileDialogs m_dialogs;
    RecordingSpreadsheet m_spreadsheet;
    std::unique_ptr<CMainFrame> m_frame;
};
} // namespace HubFixture
