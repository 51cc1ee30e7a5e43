// The questionnaire editor the authors have, a Windows program run through Wine: it hands
// its saved file over in the registry of the Wine prefix, which the hub clears before the
// start and reads back as a native path after the end; our own hand-over stays untouched.
#include "Ostrelin/ui/WaitEditorDialog.h"
#include "common/WineTest.h"
#include "hub_fixture.h"
#include "platform/HandOver.h"
#include "platform/Wine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

using HubFixture::RecordValues;

namespace
{
QString W(const QString& path)
{
    return Wine::WindowsPath(path);
}

QStringList Lines(const QString& record, const char* key)
{
    return RecordValues(record, QString::fromLatin1(key));
}

class EditorWine : public HubFixture::Bench
{
protected:
    void SetUp() override
    {
        REQUIRE_WINE();
        Bench::SetUp();
        ASSERT_TRUE(TestSupport::InstallWindowsStandin(
            QStringLiteral("TOVKQueryEditJP"), m_binFolder, QStringLiteral("TOVKQueryEditJP.exe")));
        UseEditorStandins(W);
        MakeView();
        m_frame->show();
    }

    // Puts a value into the prefix's registry as an earlier run of the editor left it.
    static void SetWineValue(const QString& value)
    {
        CommandLine reg = Wine::ClearValueCommand(QStringLiteral("Software\\Quorvane\\KPVantiloq"),
                                                  QStringLiteral("LastQueryFile"));
        reg.arguments[reg.arguments.indexOf(QStringLiteral("/d")) + 1] = value;
        ASSERT_TRUE(TestSupport::RunWineCommand(reg, 120000));
    }
};

TEST_F(EditorWine, TheQuestionnaireEditorHandsItsFileOverInWinesRegistry)
{
    const QString path = MakeProject(QStringLiteral("guide \u00e9"), {1});
    const QString folder = QFileInfo(path).path();
    const QString convert = folder + QStringLiteral("/convert");
    const QString projectXml = convert + QStringLiteral("/input/xml/TOVKQuery.xml");
    const QString otherXml = folder + QStringLiteral("/other q.xml");
    // Our own hand-over is the native editors'; a Windows editor never touches it.
    HandOver::SetValue(QStringLiteral("LastQueryFile"), otherXml);
    const HubFixture::HandOverCase cases[] = {
        {"saved nothing", {}, projectXml, false},
        {"saved under another name",
         {QStringLiteral("query EN"), QStringLiteral("save ") + W(otherXml)},
         otherXml,
         true},
    };
    int run = 0;
    for (const HubFixture::HandOverCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        OpenProject(path);
        m_messages.Clear();
        SetWineValue(W(folder + QStringLiteral("/earlier run.xml")));
        Control(c.control);
        View().OnQueryEditor();
        EXPECT_TRUE(m_messages.shown().isEmpty()) << m_messages.texts().join(u'|').toStdString();
        EXPECT_EQ(Doc().GetBindData().m_strQueryXml, c.expectedXml);
        EXPECT_EQ(Doc().IsModified(), c.modified);

        const QString record = Record(++run);
        EXPECT_EQ(Lines(record, "program"), QStringList{"TOVKQueryEditJP.exe"});
        EXPECT_EQ(Lines(record, "cwd"), QStringList{W(m_binFolder)});
        EXPECT_EQ(Lines(record, "arg"), (QStringList{"-d", W(convert), W(projectXml)}));
        EXPECT_EQ(Lines(record, "opened"), QStringList{W(convert)});
    }
    EXPECT_EQ(Doc().GetBindData().m_wQueryLanguages, 0x0002);
    EXPECT_EQ(HandOver::GetValue(QStringLiteral("LastQueryFile")), otherXml);
}
// What the author is shown, and what the hub takes over, for each way Wine can fail the
// questionnaire editor.
TEST_F(EditorWine, EachWineFailureOfTheQuestionnaireEditorIsToldAsItIs)
{
    if (!TestSupport::WineFailureScene::Possible())
        GTEST_SKIP() << "the 64-bit Wine loader is not where Debian puts it";
    using F = TestSupport::WineFailure;
    const QString notStarted =
        QStringLiteral("アンケートエディタが起動できませんでした。\n\nTOVKQueryEditJP.exe: ");
    const QString editor = m_binFolder + QStringLiteral("/TOVKQueryEditJP.exe");
    int runs = 0;
    for (const F failure : {F::No32BitLoader, F::I386Tool, F::UnusablePrefix, F::Exception})
    {
        SCOPED_TRACE(TestSupport::NameOf(failure));
        QFile::remove(editor);
        ASSERT_TRUE(TestSupport::InstallWindowsStandin(
            QStringLiteral("TOVKQueryEditJP"), m_binFolder, QStringLiteral("TOVKQueryEditJP.exe")));
        const QString path = MakeProject(QStringLiteral("guide %1").arg(int(failure)), {1});
        OpenProject(path);
        m_messages.Clear();
        const TestSupport::WineFailureScene scene(failure, editor);
        const QString saved = QFileInfo(path).path() + QStringLiteral("/q.xml");
        Control(failure == F::Exception ? QStringList{"query EN", "save " + W(saved), "crash"}
                                        : QStringList{"query EN"});
        View().OnQueryEditor();

        QStringList expected;
        bool ran = true;
        switch (failure)
        {
        case F::No32BitLoader:
        case F::Exception: // like a native editor ended by a signal: its results are taken
            break;
        case F::I386Tool:
            expected = {notStarted +
                        "このコンピューターでは 32 ビットの Windows プログラムを実行できません。"};
            ran = false;
            break;
        case F::UnusablePrefix:
            expected = {notStarted + "Wine がプログラムを起動できませんでした。\n" +
                        scene.PrefixLine()};
            ran = false;
            break;
        }
        EXPECT_EQ(m_messages.texts(), expected);
        if (ran)
            ++runs;
        EXPECT_EQ(QFileInfo::exists(Record(runs)), runs > 0);
        EXPECT_FALSE(QFileInfo::exists(Record(runs + 1)));
        EXPECT_EQ(Doc().GetBindData().m_wQueryLanguages, ran ? 0x0002 : 0);
        // An editor that ended abnormally after saving hands its file over all the same.
        EXPECT_EQ(Doc().IsModified(), failure == F::Exception);
        if (failure == F::Exception)
        {
            EXPECT_EQ(Doc().GetBindData().m_strQueryXml, saved);
        }
    }
}

// Wine's registry calls for a Windows editor wait under the launch's wait box, and once a call
// has lasted a second (Wine making its prefix or starting its server) the box says so. Here
// each "reg" takes two seconds more, as on a first start.
TEST_F(EditorWine, TheRegistryCallsWaitUnderTheBoxWhichTellsWhileWinePrepares)
{
    const QString slow = TestSupport::NewFolder(QStringLiteral("slow wine"));
    const QByteArray path = qgetenv("PATH");
    for (const auto& [wrapper, real] :
         {std::pair{QStringLiteral("/bin/wine"), Wine::Program()},
          std::pair{QStringLiteral("/lib/wine/wine"), Wine::Loader32()},
          std::pair{QStringLiteral("/lib/wine/wine64"), Wine::Loader64()}})
    {
        TestSupport::WriteFile(slow + wrapper,
                               "#!/bin/sh\ncase \"$1\" in reg) sleep 2;; esac\nexec \"" +
                                   real.toUtf8() + "\" \"$@\"\n");
        QFile::setPermissions(slow + wrapper, QFile::ReadOwner | QFile::ExeOwner);
    }
    // A prefix of its own: the other cases' editors, run at the same time, hand over in theirs.
    const QString root = QStringLiteral(QUORVANE_WINE_PREFIX_ROOT);
    const QString own = root + u'/' + QCoreApplication::applicationName() + QStringLiteral("-slow");
    QString reason;
    ASSERT_EQ(
        TestSupport::MakeOnce(
            own, reason,
            [&] { return TestSupport::LinkPrefix(root + QStringLiteral("/booted"), own, reason); }),
        TestSupport::WineSetup::Ready)
        << reason.toStdString();
    const QByteArray prefix = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", own.toUtf8());
    qputenv("PATH", (slow + QStringLiteral("/bin:")).toUtf8() + path);
    const QString project = MakeProject(QStringLiteral("slow"), {1});
    OpenProject(project);
    const QString saved = QFileInfo(project).path() + QStringLiteral("/q.xml");
    Control({QStringLiteral("query EN"), QStringLiteral("save ") + W(saved)});
    QStringList seen;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&]
                     {
                         for (QWidget* widget : QApplication::topLevelWidgets())
                         {
                             auto* box = qobject_cast<CWaitEditorDialog*>(widget);
                             if (box && box->isVisible() &&
                                 (seen.isEmpty() || seen.last() != box->MessageLabel()->text()))
                                 seen << box->MessageLabel()->text();
                         }
                     });
    probe.start(50);
    View().OnQueryEditor();
    probe.stop();
    qputenv("PATH", path);
    qputenv("WINEPREFIX", prefix);
    const QString starting = QStringLiteral("アンケートエディタの起動中です。");
    const QString preparing = QStringLiteral("Wine を準備しています ...");
    // The clear before the start, the editor's run, the read after its end.
    ASSERT_GE(seen.size(), 4) << seen.join(u'|').toStdString();
    EXPECT_EQ(seen.mid(0, 4), (QStringList{starting, preparing, starting, preparing}));
    EXPECT_TRUE(m_messages.shown().isEmpty()) << m_messages.texts().join(u'|').toStdString();
    EXPECT_EQ(Doc().GetBindData().m_strQueryXml, saved);
}
} // namespace
