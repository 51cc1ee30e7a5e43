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
#include "common/TestSupport.h"
#include "platform/FileDialogs.h"
#include "platform/RecordingMessages.h"
#include "platform/Spreadsheet.h"
#include "platform/Strings.h"
#include "platform/VersionInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// The lines "<key>\t<value>" of a stand-in's record file for one key.
inline QStringList RecordValues(const QString& recordFile, const QString& key)
{
    QStringList values;
    const QString text = QString::fromUtf8(TestSupport::ReadFile(recordFile));
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
    {
        if (line.startsWith(key + u'\t'))
            values << line.mid(key.size() + 1);
    }
    return values;
}

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
    RecordingMessages m_messages;
    ScriptedFileDialogs m_dialogs;
    RecordingSpreadsheet m_spreadsheet;
    std::unique_ptr<CMainFrame> m_frame;
};
} // namespace HubFixture
