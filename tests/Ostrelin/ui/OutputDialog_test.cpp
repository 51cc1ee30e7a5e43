// The output page, the hub's progress dialog and the output command from the page, offscreen
// against the stand-ins in a temporary AppFolder/bin.
#include "Ostrelin/OutputFixtures.h"
#include "Ostrelin/model/OutputRun.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/BindList.h"
#include "Ostrelin/ui/ContentListDialog.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/OutputDialog.h"
#include "Ostrelin/ui/ProgressDlg.h"
#include "Ostrelin/ui/ReportDialog.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "framework/LongOperation.h"
#include "hub_fixture.h"
#include "platform/Path.h"

#include <QApplication>
#include <QDateTime>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{
using OutputFixtures::kCardApp;
using OutputFixtures::Runs;
using TestSupport::NewFolder;
using TestSupport::WriteFile;

TEST(OutputSummary, NamesLanguagesAndTheCardFolder)
{
    Strings::Install(OstrelinStringsJA());
    CBindData data;
    const QString tail = QStringLiteral("\r\n\r\n    この中にある private フォルダを\r\n"
                                        "    SDカードにコピーしてください。");
    const QString folderIntro =
        QStringLiteral("・出力に関して\r\n\r\n    SDカードに格納できるデータは\r\n"
                       "    以下のフォルダに出力されます。\r\n\r\n    ");
    EXPECT_EQ(BuildOutputSummary(data, QString()),
              QStringLiteral("・配信時に表示される言語\r\n\r\n    日本語\r\n\r\n"
                             "・ガイド中使用する言語\r\n\r\n    なし\r\n\r\n") +
                  folderIntro + QStringLiteral("/convert/output/SD") + tail);
    data.m_nDisplayLanguage = 2;
    data.m_wGuideLanguages = 0x0041;
    EXPECT_EQ(BuildOutputSummary(data, QStringLiteral("/work/guide/GuideData.olx")),
              QStringLiteral("・配信時に表示される言語\r\n\r\n    フランス語\r\n\r\n"
                             "・ガイド中使用する言語\r\n\r\n    日本語\r\n    中国語\r\n\r\n") +
                  folderIntro + QStringLiteral("/work/guide/convert/output/SD") + tail);
}

class ProgressDlgTest : public HubFixture::Bench
{
};

TEST_F(ProgressDlgTest, PercentIsCappedAndAFullBarStopsStepping)
{
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("出力中"));
    dialog.SetRange(0, 10000);
    const std::pair<int, const char*> cases[] = {{2500, "25%"}, {9999, "99%"}, {12000, "100%"}};
    for (const auto& [position, text] : cases)
    {
        dialog.UpdatePercent(position);
        EXPECT_EQ(dialog.PercentLabel()->text(), QString::fromLatin1(text)) << position;
    }
    dialog.SetPos(9990);
    dialog.UpdatePercent(9990);
    dialog.SetStep(500);
    EXPECT_EQ(dialog.StepIt(), 10000);
    EXPECT_EQ(dialog.PercentLabel()->text(), QStringLiteral("100%"));
    // From here a step neither pumps nor moves the bar.
    bool pumped = false;
    QTimer::singleShot(0, [&] { pumped = true; });
    dialog.SetPos(4000);
    EXPECT_EQ(dialog.StepIt(), 10000);
    EXPECT_EQ(dialog.GetPos(), 4000);
    EXPECT_FALSE(pumped);
    dialog.SetPos(1000);
    EXPECT_EQ(dialog.Complete(), 1000);
    EXPECT_EQ(dialog.GetPos(), 10000);
}

TEST_F(ProgressDlgTest, CancelOnlyRaisesTheFlagAndTheOwnerComesBack)
{
    CMainFormView& view = MakeView();
    QWidget* frame = view.window();
    frame->show();
    {
        CProgressDlg dialog;
        ASSERT_TRUE(dialog.Create(&view));
        dialog.show();
        EXPECT_FALSE(frame->isEnabled());
        dialog.CancelButton()->click();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&dialog, Qt::Key_Return);
        dialog.close();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.IsCancelRequested());
    }
    EXPECT_TRUE(frame->isEnabled());
    frame->setEnabled(false);
    {
        CProgressDlg dialog;
        ASSERT_TRUE(dialog.Create(&view));
        EXPECT_FALSE(dialog.OwnerDisabled());
    }
    EXPECT_FALSE(frame->isEnabled());
}

class OutputPageTest : public HubFixture::Bench
{
protected:
    void SetUp() override
    {
        Bench::SetUp();
        for (const char* tool : {"durnap", "halbrine"})
            QFile::link(TestSupport::StandinFolder() + u'/' + QString::fromLatin1(tool),
                        m_binFolder + u'/' + QString::fromLatin1(tool));
        records = NewFolder(QStringLiteral("durnap-records"));
        control = NewFolder(QStringLiteral("durnap-control")) + QStringLiteral("/c");
        qputenv("DURNAP_RECORD", records.toUtf8());
        qputenv("DURNAP_CONTROL", control.toUtf8());
        MakeView().window()->show();
        OpenProject(MakeProject(QStringLiteral("guide"), {10, 20}));
        project = Path::RemoveFileSpec(View().m_strProjectPath);
        CBindData& data = Doc().GetBindData();
        data.m_wGuideLanguages = 0x0001;
        data.AddGuide(1, 10);
        data.AddGuide(2, 20);
        data.AddServer(QStringLiteral("P0001"));
        data.AddServer(QStringLiteral("A0001"));
        data.FindServer(QStringLiteral("A0001"))->m_nRole = RoleContents;
        data.FindServer(QStringLiteral("A0001"))->m_setGuides = {1, 2};
        page = new COutputDialog(&View());
    }

    // A Japanese title to replace, with the title replacer's record folder and control file.
    void UseTitle()
    {
        titleRecords = NewFolder(QStringLiteral("halbrine-records"));
        titleControl = NewFolder(QStringLiteral("halbrine-control")) + QStringLiteral("/c");
        qputenv("HALBRINE_RECORD", titleRecords.toUtf8());
        qputenv("HALBRINE_CONTROL", titleControl.toUtf8());
        CBindData& data = Doc().GetBindData();
        data.m_wTitleLanguages = 0x0001;
        data.m_strTitleImage[0] = WriteFile(NewFolder(QStringLiteral("pictures")) + "/jp.bmp",
                                            OutputFixtures::TwoColourTitle());
    }
    void TearDown() override
    {
        for (const char* name :
             {"DURNAP_RECORD", "DURNAP_CONTROL", "HALBRINE_RECORD", "HALBRINE_CONTROL"})
            qunsetenv(name);
        Bench::TearDown();
    }

    static CProgressDlg* ShownProgress()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
        {
            if (auto* dialog = qobject_cast<CProgressDlg*>(w); dialog && dialog->isVisible())
                return dialog;
        }
        return nullptr;
    }

    // Runs the output with a probe called at every pump while it lasts.
    void Output(std::function<void()> probe = {})
    {
        QTimer timer;
        if (probe)
        {
            QObject::connect(&timer, &QTimer::timeout, probe);
            timer.start(5);
        }
        page->OutputButton()->click();
    }

    QStringList Texts() const { return m_messages.texts(); }

    QString project, records, control, titleRecords, titleControl;
    COutputDialog* page = nullptr;
};

TEST_F(OutputPageTest, OutputRunsIntoTheCardTreeUnderTheProgressDialog)
{
    bool seen = false;
    Output(
        [&]
        {
            CProgressDlg* dialog = ShownProgress();
            if (!dialog || seen)
                return;
            seen = true;
            EXPECT_FALSE(View().window()->isEnabled());
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("出力中"));
            EXPECT_EQ(dialog->MessageLabel()->text(), QStringLiteral("出力中"));
            EXPECT_EQ(dialog->ProgressBar()->maximum(), 10000);
        });
    EXPECT_TRUE(seen);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("出力が完了しました。")});
    EXPECT_EQ(m_messages.shown().at(0).flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(ShownProgress(), nullptr);
    EXPECT_TRUE(View().window()->isEnabled());
    EXPECT_TRUE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00002/CJP00002.bin")));
    EXPECT_TRUE(Runs(records).at(0).missing.isEmpty());
}

TEST_F(OutputPageTest, TheViewHoldsTheDialogOnlyWhileTheOutputRuns)
{
    page = View().m_pOutputPage;
    ASSERT_NE(page, nullptr);
    bool held = false;
    Output([&]
           { held = held || (View().m_pProgressDlg && View().m_pProgressDlg == ShownProgress()); });
    EXPECT_TRUE(held);
    EXPECT_EQ(View().m_pProgressDlg, nullptr);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("出力が完了しました。")});
}

TEST_F(OutputPageTest, WithoutADialogTheViewsStepsRunThrough)
{
    QString report;
    bool cancelled = true;
    EXPECT_TRUE(View().CheckStepData(report, &cancelled));
    EXPECT_TRUE(report.isEmpty());
    EXPECT_TRUE(View().RunOutput(&cancelled));
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(Runs(records).size(), 1);
    EXPECT_TRUE(Texts().isEmpty());
}

TEST_F(OutputPageTest, CheckFindingsShowTheReportAndWriteNothing)
{
    Doc().GetBindData().AddGuide(3, 99);
    QString message, details, caption;
    // The report is modal: read and close it once it is up.
    Output(
        [&]
        {
            if (auto* report = qobject_cast<CReportDialog*>(QApplication::activeModalWidget()))
            {
                message = report->MessageLabel()->text();
                details = report->DetailsEdit()->toPlainText();
                caption = report->windowTitle();
                report->accept();
            }
        });
    EXPECT_EQ(message, QStringLiteral("以下のエラーが検出されました。"));
    EXPECT_EQ(details,
              QStringLiteral("・以下のガイド番号および言語に対応する作品が読み込めませんでした。\n"
                             "    ガイド番号 3 - 日本語\n"));
    EXPECT_EQ(caption, HubFixture::kAppTitle);
    EXPECT_TRUE(Texts().isEmpty());
    EXPECT_FALSE(QFile::exists(project + QStringLiteral("/convert/input/xml/KPGEditor_Conf.xml")));
    EXPECT_TRUE(Runs(records).isEmpty());
}

TEST_F(OutputPageTest, CancelWhileTheToolRunsRemovesItsOutput)
{
    WriteFile(control, "work\nsleep 60000\n");
    Output(
        [&]
        {
            CProgressDlg* dialog = ShownProgress();
            if (dialog && QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")))
                dialog->CancelButton()->click();
        });
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("出力をキャンセルしました。")});
    EXPECT_EQ(m_messages.shown().at(0).flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_FALSE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000")));
    EXPECT_FALSE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00001")));
    EXPECT_TRUE(View().window()->isEnabled());
}

TEST_F(OutputPageTest, CancelDuringTheCheckSkipsTheRun)
{
    WriteFile(project + kCardApp + QStringLiteral("/TZM00007/OLD.BIN"), "old");
    // Runs at the check's first pump.
    QTimer::singleShot(0,
                       [&]
                       {
                           if (CProgressDlg* dialog = ShownProgress())
                               dialog->CancelButton()->click();
                       });
    Output();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("出力をキャンセルしました。")});
    EXPECT_TRUE(Runs(records).isEmpty());
    EXPECT_FALSE(QFile::exists(project + QStringLiteral("/convert/input/xml/KPGEditor_Info.xml")));
    // Nothing replaced the last card, so it stays.
    EXPECT_EQ(TestSupport::ReadFile(project + kCardApp + QStringLiteral("/TZM00007/OLD.BIN")),
              QByteArray("old"));
}

// The content editor, started by hand on the same convert folder, swapped works 10 and 20
// and converted them again behind the hub's back: the output scans the data anew before its
// check, so guide 1 plays work 10 from the file that holds it now, and the pages show it.
TEST_F(OutputPageTest, DataConvertedBehindTheHubsBackIsScannedBeforeTheOutput)
{
    const QDateTime later = QDateTime::currentDateTime().addSecs(5);
    for (const auto& [fileNo, workNo, text] :
         {std::tuple{1, 20, "work 20"}, std::tuple{2, 10, "work 10 moved"}})
    {
        QFile file(ContentFixtures::WriteWork(project, QStringLiteral("JP"), fileNo,
                                              quint32(workNo), QString::fromUtf8(text)));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(later, QFileDevice::FileModificationTime));
    }
    Output();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("出力が完了しました。")});
    ASSERT_NE(Doc().GetBindData().FindWork(10), nullptr);
    EXPECT_EQ(Doc().GetBindData().FindWork(10)->m_nFileNo, 2);

    // What the bind tool was given: guide 1 with the file of work 10.
    QDomDocument info;
    ASSERT_TRUE(
        info.setContent(TestSupport::ReadFile(records + QStringLiteral("/run-1-info.xml"))));
    QMap<QString, QString> fileOfGuide;
    const QDomNodeList items = info.documentElement().elementsByTagName("BindInfoItem");
    for (int i = 0; i < items.size(); ++i)
    {
        const QDomElement item = items.at(i).toElement();
        fileOfGuide[item.firstChildElement("nGuideNo").text()] =
            QFileInfo(item.firstChildElement("strResource").text()).fileName().toUpper();
    }
    EXPECT_EQ(fileOfGuide.value("1"), QStringLiteral("CJP00002.BIN"));
    EXPECT_EQ(fileOfGuide.value("2"), QStringLiteral("CJP00001.BIN"));
    EXPECT_EQ(TestSupport::ReadFile(project + kCardApp + QStringLiteral("/TZM00002/CJP00002.bin"))
                  .mid(0x0C, 1),
              QByteArray(1, char(10)));
    CContentListDialog* works = View().m_pContentListPage;
    ASSERT_NE(works, nullptr);
    EXPECT_TRUE(works->List()->GetItemText(0, 2).contains(QStringLiteral("work 10 moved")))
        << works->List()->GetItemText(0, 2).toStdString();

    // Nothing changed since: the next output scans nothing again.
    Doc().GetBindData().FindWork(10)->m_strDescription[0] = QStringLiteral("kept");
    m_messages.Clear();
    Output();
    EXPECT_EQ(Doc().GetBindData().FindWork(10)->m_strDescription[0], QStringLiteral("kept"));
}

TEST_F(OutputPageTest, ToolThatCannotStartEndsAsCancelled)
{
    QFile::remove(m_binFolder + QStringLiteral("/durnap"));
    Output();
    EXPECT_EQ(Texts(),
              (QStringList{QStringLiteral("出力に使用するファイルが見つかりませんでした。"),
                           QStringLiteral("出力をキャンセルしました。")}));
}

// What the author is shown for each way the title replacer and the bind tool can end, and
// what is on disk: an output that does not go through leaves the last card tree and title
// files byte for byte; one that does replaces them.
TEST_F(OutputPageTest, EachToolOutcomeIsToldAsItIs)
{
    COstrelinApp app;
    ASSERT_TRUE(app.LoadToolArchive());
    UseTitle();
    const QString cancelled = QStringLiteral("出力をキャンセルしました。");
    const QString missing = QStringLiteral("出力に使用するファイルが見つかりませんでした。");
    const QString done = QStringLiteral("出力が完了しました。");
    const QString titleFailed =
        QStringLiteral("日本語: タイトル置換ツール halbrine "
                       "が失敗したため、タイトル画像を置き換えずに出力しました。");
    enum Cancel
    {
        Never,
        WhenTheTitleRuns,
        WhenTheCardIsWritten
    };
    struct Case
    {
        const char* name;
        QByteArray titleControl;
        QByteArray toolControl;
        bool removeTool;  // the bind tool is not there
        bool removeTitle; // the title replacer is not there
        Cancel cancel;
        QStringList messages;
        bool wentThrough; // else the last card stays
        bool titleInCard;
    };
    const Case cases[] = {
        {"tool signal",
         "",
         "work\ncrash\n",
         false,
         false,
         Never,
         {QStringLiteral("出力ツールが異常終了しました。"), cancelled},
         false,
         false},
        {"tool exit code",
         "",
         "work\nexit 2\n",
         false,
         false,
         Never,
         {QStringLiteral("出力ツールが終了コード 2 で終了しました。"), cancelled},
         false,
         false},
        {"tool hangs",
         "",
         "work\nsleep 60000\n",
         false,
         false,
         WhenTheCardIsWritten,
         {cancelled},
         false,
         false},
        {"tool missing", "", "", true, false, Never, {missing, cancelled}, false, false},
        {"tool writes nothing",
         "",
         "exit 0\nwork\n",
         false,
         false,
         Never,
         {QStringLiteral(
              "出力ツール durnap は正常に終了しましたが、カードのデータを作成しませんでした。"),
          cancelled},
         false,
         false},
        {"title signal", "crash\n", "", false, false, Never, {titleFailed}, true, false},
        {"title exit code", "exit 2\n", "", false, false, Never, {titleFailed}, true, false},
        {"title writes nothing", "nofile\n", "", false, false, Never, {titleFailed}, true, false},
        {"title hangs",
         "sleep 60000\n",
         "",
         false,
         false,
         WhenTheTitleRuns,
         {cancelled},
         false,
         false},
        {"title missing", "", "", false, true, Never, {missing, cancelled}, false, false},
        {"both go through", "", "", false, false, Never, {done}, true, true},
    };
    const QString sd = project + QStringLiteral("/convert/output/SD");
    const QString titles = project + QStringLiteral("/convert/output/title");
    // The last card, with something of its own that no later one has.
    Output();
    ASSERT_EQ(Texts(), QStringList{done});
    const auto LastCard = [&]
    {
        WriteFile(project + kCardApp + QStringLiteral("/TZM00009/OLD.BIN"), "last card");
        return std::pair{TestSupport::TreeOf(sd), TestSupport::TreeOf(titles)};
    };
    auto last = LastCard();
    ASSERT_TRUE(last.second.contains(QStringLiteral("RJP000.BIN")));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_messages.Clear();
        QDir(records).removeRecursively();
        QDir(titleRecords).removeRecursively();
        WriteFile(titleControl, c.titleControl);
        WriteFile(control, c.toolControl);
        QFile::remove(m_binFolder + "/durnap");
        if (!c.removeTool)
            QFile::link(TestSupport::StandinFolder() + "/durnap", m_binFolder + "/durnap");
        QFile::remove(m_binFolder + "/halbrine");
        if (!c.removeTitle)
            QFile::link(TestSupport::StandinFolder() + "/halbrine", m_binFolder + "/halbrine");
        QElapsedTimer clicked;
        Output(
            [&]
            {
                CProgressDlg* dialog = ShownProgress();
                const bool now =
                    (c.cancel == WhenTheTitleRuns && !Runs(titleRecords).isEmpty()) ||
                    (c.cancel == WhenTheCardIsWritten &&
                     QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")));
                if (dialog && now && !clicked.isValid())
                {
                    dialog->CancelButton()->click();
                    clicked.start();
                }
            });
        if (c.cancel != Never)
        {
            ASSERT_TRUE(clicked.isValid());
            // The hung program is killed and reaped at once, not waited for.
            EXPECT_LT(clicked.elapsed(), 1000);
        }
        EXPECT_EQ(Texts(), c.messages);
        if (c.wentThrough)
        {
            EXPECT_TRUE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/LANG.TXT")));
            EXPECT_FALSE(QFile::exists(project + kCardApp + QStringLiteral("/TZM00009")));
            EXPECT_EQ(QFile::exists(project + kCardApp + QStringLiteral("/TZM00000/RJP000.BIN")),
                      c.titleInCard);
            last = LastCard();
        }
        else
        {
            EXPECT_EQ(TestSupport::TreeOf(sd), last.first);
            EXPECT_EQ(TestSupport::TreeOf(titles), last.second);
        }
        // Cancelled while the title ran, or a tool that cannot start: the bind tool never
        // started.
        if (c.cancel == WhenTheTitleRuns || c.removeTitle || c.removeTool)
        {
            EXPECT_TRUE(Runs(records).isEmpty());
        }
        EXPECT_FALSE(CMainFrame::IsBusyAround(&View()));
    }
}

// Keys, menu commands, tabs, page buttons and a close sent during each phase of the output
// are refused, and the output completes on the project it started with.
TEST_F(OutputPageTest, NothingReplacesTheProjectWhileTheOutputRuns)
{
    COstrelinApp app;
    ASSERT_TRUE(app.LoadToolArchive());
    UseTitle();
    WriteFile(titleControl, "sleep 400\n");
    WriteFile(control, "work\nsleep 400\n");
    const QString other = MakeProject(QStringLiteral("other"), {30});
    const COstrelinDoc* document = View().GetDocument();
    const QString path = View().m_strProjectPath;
    const int tab = View().GetTabs()->currentIndex();
    CMainFrame* frame = m_frame.get();

    QStringList phases;
    auto tryEverything = [&](const QString& phase)
    {
        if (phases.contains(phase))
            return;
        phases << phase;
        EXPECT_TRUE(CMainFrame::IsBusyAround(&View())) << phase.toStdString();
        m_dialogs.Answer(other);
        // What Ctrl+N, Ctrl+O and Ctrl+S run, the menu and tool bar, the page's own button
        // and the tabs.
        View().OnFileNew();
        View().OnFileOpen();
        View().OnFileSave();
        for (unsigned id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_EXIT,
                            ID_CONTENT_EDITOR, ID_QUERY_EDITOR})
            EXPECT_FALSE(frame->OnCommand(id)) << id;
        View().OnContentEditor();
        View().OnAppExit();
        page->OutputButton()->click();
        View().GetTabs()->setCurrentIndex(0);
        frame->close();
    };
    QTimer::singleShot(0, [&] { tryEverything(QStringLiteral("check")); });
    Output(
        [&]
        {
            if (!ShownProgress())
                return;
            if (!Runs(records).isEmpty())
                tryEverything(QStringLiteral("tool"));
            else if (!Runs(titleRecords).isEmpty())
                tryEverything(QStringLiteral("titles"));
        });
    QCoreApplication::processEvents();
    EXPECT_EQ(phases, (QStringList{"check", "titles", "tool"}));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("出力が完了しました。")});
    EXPECT_EQ(View().GetDocument(), document);
    EXPECT_EQ(View().m_strProjectPath, path);
    EXPECT_EQ(View().GetTabs()->currentIndex(), tab);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(Runs(records).size(), 1);
    EXPECT_EQ(Runs(titleRecords).size(), 1);
}

// A termination request during each phase of the output cancels it as Cancel does: the
// partial card goes and the last one is back byte for byte, nothing waits for the author,
// no tool is left, and the program ends.
TEST_F(OutputPageTest, ATerminationRequestInEachPhaseCancelsCleansAndEnds)
{
    COstrelinApp app;
    ASSERT_TRUE(app.LoadToolArchive());
    const QString scratch = NewFolder(QStringLiteral("scratch"));
    UseTitle();
    const QString pidFile = scratch + QStringLiteral("/pid");
    const QString hang = QStringLiteral("waitfor ") + scratch + QStringLiteral("/never\n");
    enum Phase
    {
        Check,
        Titles,
        Tool
    };
    const struct
    {
        const char* name;
        Phase phase;
    } phases[] = {{"check", Check}, {"titles", Titles}, {"bind tool", Tool}};
    Output();
    ASSERT_EQ(Texts(), QStringList{QStringLiteral("出力が完了しました。")});
    WriteFile(project + kCardApp + QStringLiteral("/TZM00009/OLD.BIN"), "last card");
    const auto lastCard = TestSupport::TreeOf(project + QStringLiteral("/convert/output"));
    for (const auto& p : phases)
    {
        SCOPED_TRACE(p.name);
        m_messages.Clear();
        QFile::remove(pidFile);
        QDir(records).removeRecursively();
        QDir(titleRecords).removeRecursively();
        const QString pidLine = QStringLiteral("pid ") + pidFile + QStringLiteral("\n");
        WriteFile(titleControl, (p.phase == Titles ? pidLine + hang : QString()).toUtf8());
        WriteFile(control, (p.phase == Tool ? QStringLiteral("work\n") + pidLine + hang
                                            : QStringLiteral("work\n"))
                               .toUtf8());
        bool ended = false;
        auto terminate = [&] { CLongOperation::RequestTermination([&ended] { ended = true; }); };
        if (p.phase == Check)
            QTimer::singleShot(0, terminate);
        Output(
            [&]
            {
                if (CLongOperation::IsTerminationRequested() || !ShownProgress() ||
                    p.phase == Check || !QFile::exists(pidFile))
                    return;
                terminate();
            });
        EXPECT_TRUE(Texts().isEmpty());
        EXPECT_EQ(TestSupport::TreeOf(project + QStringLiteral("/convert/output")), lastCard);
        EXPECT_FALSE(CLongOperation::IsBusy());
        EXPECT_EQ(Runs(records).isEmpty(), p.phase != Tool);
        if (p.phase != Check)
        {
            const qint64 group = TestSupport::ReadFile(pidFile).toLongLong();
            ASSERT_GT(group, 0);
            EXPECT_EQ(TestSupport::LiveProcessesOfGroup(group), 0);
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(ended);
        CLongOperation::ResetTermination();
    }
}

TEST_F(OutputPageTest, SummaryFollowsTheProjectWhenShown)
{
    page->hide();
    Doc().GetBindData().m_wGuideLanguages = 0x0003;
    page->show();
    EXPECT_TRUE(
        page->SummaryEdit()->toPlainText().contains(QStringLiteral("    日本語\n    英語\n")));
    EXPECT_TRUE(page->SummaryEdit()->toPlainText().contains(project +
                                                            QStringLiteral("/convert/output/SD")));
    EXPECT_TRUE(page->SummaryEdit()->isReadOnly());
}
} // namespace
