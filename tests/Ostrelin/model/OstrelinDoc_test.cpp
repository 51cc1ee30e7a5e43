// The document's save question and the change notification through the main view's host.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/Strings.h"
#include "common/TestSupport.h"
#include "platform/RecordingMessages.h"

#include <gtest/gtest.h>

namespace
{
class FakeHost : public CProjectHost
{
public:
    COstrelinDoc* GetActiveDocument() override { return doc; }
    QString GetProjectPath() const override { return projectPath; }
    void UpdateWindowTitle() override { calls << QStringLiteral("title"); }
    void UpdateStepStates() override { calls << QStringLiteral("steps"); }
    void OnFileSave() override
    {
        calls << QStringLiteral("save");
        if (saveSucceeds)
            doc->SetModifiedFlag(false);
    }

    COstrelinDoc* doc = nullptr;
    QString projectPath;
    bool saveSucceeds = true;
    QStringList calls;
};

class BindModelDocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        Messages::SetApplicationTitle(QStringLiteral("QuorvaneKP ガイド エディタ"));
        host.doc = &doc;
        SetProjectHost(&host);
    }
    void TearDown() override { SetProjectHost(nullptr); }

    COstrelinDoc doc;
    FakeHost host;
};

TEST_F(BindModelDocTest, ActiveProjectDataComesFromTheHost)
{
    EXPECT_EQ(GetActiveProjectData(), &doc.GetBindData());
    host.doc = nullptr;
    EXPECT_EQ(GetActiveProjectData(), nullptr);
    SetProjectHost(nullptr);
    EXPECT_EQ(GetActiveProjectData(), nullptr);
}

TEST_F(BindModelDocTest, ChangeWithoutAProjectFileDoesNothing)
{
    doc.GetBindData().AddGuide(1, 99);
    OnProjectDataChanged();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_EQ(doc.GetBindData().FindGuide(1)->m_wError, 0);
}

TEST_F(BindModelDocTest, ChangeMarksRevalidatesAndUpdatesInOrder)
{
    host.projectPath = QStringLiteral("/p/GuideData.olx");
    CBindData& d = doc.GetBindData();
    d.AddGuide(1, 99); // no such work
    d.AddServer(QStringLiteral("CONT1"));
    CServer* server = d.FindServer(QStringLiteral("CONT1"));
    server->m_nRole = RoleContents;
    server->m_setGuides = {2};
    OnProjectDataChanged();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(d.FindGuide(1)->m_wError, 1);
    EXPECT_EQ(server->m_wStatus, ServerUnknownGuide);
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("title"), QStringLiteral("steps")}));
}

TEST_F(BindModelDocTest, SaveModifiedAnswers)
{
    struct Case
    {
        const char* what;
        bool modified;
        int answer;
        bool saveSucceeds;
        bool expected;
        bool asked;
        bool saved;
    };
    const Case cases[] = {
        {"not modified", false, IDYES, true, true, false, false},
        {"cancel", true, IDCANCEL, true, false, true, false},
        {"no", true, IDNO, true, true, true, false},
        {"yes, saved", true, IDYES, true, true, true, true},
        {"yes, save failed", true, IDYES, false, false, true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        RecordingMessages messages;
        messages.Answer(c.answer);
        host.calls.clear();
        host.saveSucceeds = c.saveSucceeds;
        doc.SetModifiedFlag(c.modified);
        EXPECT_EQ(doc.SaveModified(), c.expected);
        ASSERT_EQ(messages.shown().size(), c.asked ? 1 : 0);
        if (c.asked)
        {
            EXPECT_EQ(messages.shown()[0].text, u"作業中のデータを保存しますか？");
            EXPECT_EQ(messages.shown()[0].flags, MB_YESNOCANCEL | MB_ICONQUESTION);
            EXPECT_EQ(messages.shown()[0].caption, u"QuorvaneKP ガイド エディタ");
        }
        EXPECT_EQ(host.calls.contains(QStringLiteral("save")), c.saved);
    }
}
} // namespace
