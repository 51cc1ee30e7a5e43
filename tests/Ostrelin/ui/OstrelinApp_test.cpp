// The hub program's start-up and exit, its key routing, and the ways it starts other
// programs, including the real content editor from AppFolder/bin.
#include "hub_fixture.h"

#include "Ostrelin/ui/FileSelectDialog.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/TrefTabCtrl.h"
#include "TOVKContEdit/shared/ToolArchive.h"
#include "framework/LongOperation.h"
#include "platform/HandOver.h"
#include "platform/Profile.h"
#include "platform/SingleInstance.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <csignal>

using HubFixture::kAppTitle;

namespace
{
const QString kMutex = QStringLiteral("Quorvane KPSonavelBindEditor");

class App : public HubFixture::Bench
{
protected:
    static bool ToolsThere(const QString& folder)
    {
        for (const char* file : ToolFileTable)
        {
            if (!QFileInfo::exists(folder + u'/' + QString::fromLatin1(file)))
                return false;
        }
        return true;
    }
};

TEST_F(App, StartsWithItsWindowAndToolsAndRemovesThemAtExit)
{
    COstrelinApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* frame = app.GetMainWnd();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("プロジェクト未指定 - ") + kAppTitle);
    EXPECT_EQ(Messages::ApplicationTitle(), kAppTitle);
    // Fixed size: the border does not resize it.
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
    EXPECT_EQ(frame->menuBar()->actions().size(), 3);
    // The program's own icon: a white tile framed and marked in dark blue.
    const QImage icon = frame->windowIcon().pixmap(QSize(32, 32)).toImage();
    ASSERT_FALSE(icon.isNull());
    int blue = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            blue += icon.pixelColor(x, y) == QColor(Qt::darkBlue);
    EXPECT_GT(blue, 60);
    EXPECT_EQ(app.GetView()->GetTabs()->currentIndex(), 0);
    EXPECT_TRUE(app.GetView()->m_pFileSelectPage->isVisible());

    const QString tools = app.m_strToolFolder;
    ASSERT_FALSE(tools.isEmpty());
    EXPECT_TRUE(ToolsThere(tools));
    EXPECT_FALSE(SingleInstance(kMutex).TryAcquire());

    app.ExitInstance();
    EXPECT_FALSE(QFileInfo::exists(tools));
    EXPECT_TRUE(SingleInstance(kMutex).TryAcquire());
    EXPECT_TRUE(m_messages.shown().isEmpty());
}

TEST_F(App, ASecondInstanceIsRefused)
{
    SingleInstance other(kMutex);
    ASSERT_TRUE(other.TryAcquire());
    {
        COstrelinApp app;
        EXPECT_FALSE(app.InitInstance({}));
        EXPECT_EQ(app.GetMainWnd(), nullptr);
        EXPECT_TRUE(app.m_strToolFolder.isEmpty());
        ASSERT_EQ(m_messages.shown().size(), 1);
        EXPECT_EQ(m_messages.shown()[0].text, QStringLiteral("二重起動出来ません。"));
        EXPECT_EQ(m_messages.shown()[0].flags, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(m_messages.shown()[0].caption, kAppTitle);
    }
    // The first instance still holds its name.
    EXPECT_TRUE(other.IsHeld());
}

TEST_F(App, AnUnusableRuntimeFolderDoesNotStopStartUp)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const QString runtime = TestSupport::NewFolder(QStringLiteral("runtime"));
    // A plain file where the program's runtime folder belongs.
    TestSupport::WriteFile(runtime + QStringLiteral("/Quorvane"), "not a folder");
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    {
        COstrelinApp app;
        EXPECT_TRUE(app.InitInstance({}));
        EXPECT_NE(app.GetMainWnd(), nullptr);
        EXPECT_TRUE(m_messages.shown().isEmpty());
        // The name is still held: a second start is refused.
        EXPECT_FALSE(SingleInstance(kMutex).TryAcquire());
        app.ExitInstance();
    }
    qputenv("XDG_RUNTIME_DIR", saved);
}

TEST_F(App, ServerSwitchesAreAcceptedAndRegisterNothing)
{
    using Kind = COstrelinApp::StartKind;
    struct Case
    {
        QStringList arguments;
        Kind kind;
        bool runs;
    } cases[] = {
        {{}, Kind::Normal, true},
        {{QStringLiteral("/Embedding")}, Kind::Embedded, true},
        {{QStringLiteral("-automation")}, Kind::Embedded, true},
        {{QStringLiteral("/RegServer")}, Kind::Register, false},
        {{QStringLiteral("-unregister")}, Kind::Unregister, false},
        {{QStringLiteral("/Unregserver")}, Kind::Unregister, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(COstrelinApp::ParseCommandLine(c.arguments), c.kind)
            << c.arguments.join(u' ').toStdString();

    for (const QString& flag : {QStringLiteral("/Embedding"), QStringLiteral("/Regserver")})
    {
        SCOPED_TRACE(flag.toStdString());
        COstrelinApp app;
        EXPECT_EQ(app.InitInstance({flag}), flag == u"/Embedding");
        EXPECT_EQ(app.GetMainWnd(), nullptr);
        EXPECT_TRUE(app.m_strToolFolder.isEmpty());
        app.ExitInstance();
    }
}

TEST_F(App, KeysOfTheMainWindow)
{
    COstrelinApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* frame = app.GetMainWnd();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

    auto press = [&](int key, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        return app.PreTranslateMessage(&event);
    };
    // Ctrl+S without a project: Save does nothing, and the key goes on.
    EXPECT_FALSE(press(Qt::Key_S, Qt::ControlModifier));
    EXPECT_TRUE(m_dialogs.calls().isEmpty());
    // Ctrl+N and Ctrl+O run New and Open (cancelled here) and go on too.
    EXPECT_FALSE(press(Qt::Key_N, Qt::ControlModifier));
    EXPECT_FALSE(press(Qt::Key_O, Qt::ControlModifier));
    ASSERT_EQ(m_dialogs.calls().size(), 2);
    EXPECT_EQ(m_dialogs.calls()[0].kind, FileDialogCall::Kind::Save);
    EXPECT_EQ(m_dialogs.calls()[1].kind, FileDialogCall::Kind::Open);
    // Enter is used up while a page is current; other keys pass.
    EXPECT_TRUE(press(Qt::Key_Return, Qt::NoModifier));
    EXPECT_TRUE(press(Qt::Key_Enter, Qt::KeypadModifier));
    EXPECT_FALSE(press(Qt::Key_A, Qt::NoModifier));

    // Through the window: one key press runs the command once, wherever the focus is.
    app.GetView()->m_pFileSelectPage->findChild<QWidget*>(QStringLiteral("1008"))->setFocus();
    QTest::keyClick(frame->windowHandle(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(m_dialogs.calls().size(), 3);
    // Enter does not press the focused "open" button.
    QTest::keyClick(frame->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(m_dialogs.calls().size(), 3);

    // With another window active nothing is routed.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(press(Qt::Key_Return, Qt::NoModifier));
    EXPECT_FALSE(press(Qt::Key_N, Qt::ControlModifier));
    EXPECT_EQ(m_dialogs.calls().size(), 3);
    app.ExitInstance();
}

TEST_F(App, ClosingAModifiedProjectAsksAndCanBeCancelled)
{
    COstrelinApp app;
    ASSERT_TRUE(app.InitInstance({}));
    m_dialogs.Answer(TestSupport::NewFolder(QStringLiteral("close")) + QStringLiteral("/G.olx"));
    app.GetView()->OnFileNew();
    app.GetView()->GetDocument()->SetModifiedFlag(true);
    m_messages.Answer(IDCANCEL);
    app.GetMainWnd()->close();
    EXPECT_TRUE(app.GetMainWnd()->isVisible());
    EXPECT_EQ(m_messages.texts(), QStringList{QStringLiteral("作業中のデータを保存しますか？")});

    // Yes saves through the view's Save and lets the window go.
    m_messages.Answer(IDYES);
    app.GetMainWnd()->close();
    EXPECT_FALSE(app.GetMainWnd()->isVisible());
    EXPECT_FALSE(app.GetView()->GetDocument()->IsModified());
    app.ExitInstance();
}

// A shell script as the started program, so the test sees what the child got.
CommandLine Script(const QString& script, const QStringList& arguments = {})
{
    return CommandLine(QStringLiteral("/bin/sh"),
                       QStringList{QStringLiteral("-c"), script, QStringLiteral("sh")} + arguments);
}

TEST_F(App, StartChildProcessKeepsOneProgramPerHolder)
{
    const QString out =
        TestSupport::NewFolder(QStringLiteral("child")) + QStringLiteral("/args.txt");
    CProcessHolder holder;
    // Arguments with blanks and quotes arrive as they are, one each.
    ASSERT_TRUE(
        StartChildProcess(holder,
                          Script(QStringLiteral("printf '%s\\n' \"$PWD\" \"$@\" > ") + out,
                                 {QStringLiteral("a b"), QStringLiteral("c\"d"), QString()}),
                          QString()));
    holder.process->Wait({});
    EXPECT_EQ(QString::fromUtf8(TestSupport::ReadFile(out)),
              m_appFolder + QStringLiteral("\na b\nc\"d\n\n"));

    // A program that ended with 259 has ended: the holder starts anew.
    ASSERT_TRUE(StartChildProcess(holder, Script(QStringLiteral("exit 259")), m_binFolder));
    holder.process->Wait({});
    EXPECT_FALSE(IsProcessRunning(holder));
    ASSERT_TRUE(StartChildProcess(holder, Script(QStringLiteral("sleep 30")), m_binFolder));
    const qint64 pid = holder.process->ProcessId();
    EXPECT_TRUE(IsProcessRunning(holder));
    // One that still runs is left alone.
    EXPECT_FALSE(StartChildProcess(holder, Script(QStringLiteral("exit 0")), m_binFolder));
    EXPECT_EQ(holder.process->ProcessId(), pid);
    holder.process->Cancel();
    holder.process->Wait({});

    CProcessHolder failed;
    EXPECT_FALSE(
        StartChildProcess(failed, CommandLine(m_binFolder + QStringLiteral("/none")), QString()));
    EXPECT_FALSE(IsProcessRunning(failed));
    EXPECT_TRUE(m_messages.shown().isEmpty());
}

TEST_F(App, RunProcessAndWaitKeepsTheWindowAliveAndRefusesProjectCommands)
{
    MakeView();
    const QString out = TestSupport::NewFolder(QStringLiteral("wait")) + QStringLiteral("/pwd.txt");
    int ticks = 0;
    bool waitingSeen = false;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout,
                     [&]
                     {
                         ++ticks;
                         if (CLongOperation::IsBusy() && !waitingSeen)
                         {
                             waitingSeen = true;
                             View().OnFileNew();
                             View().OnFileOpen();
                             View().OnContentEditor();
                             m_frame->close();
                         }
                     });
    timer.start();
    const ToolResult result = RunProcessAndWait(
        Script(QStringLiteral("pwd > ") + out + QStringLiteral("; sleep 0.4; exit 7")));
    timer.stop();
    EXPECT_EQ(result.outcome, ToolResult::Exited);
    EXPECT_EQ(result.exitCode, 7);
    EXPECT_TRUE(waitingSeen);
    EXPECT_GE(ticks, 5);
    EXPECT_FALSE(CLongOperation::IsBusy());
    EXPECT_EQ(QString::fromUtf8(TestSupport::ReadFile(out)).trimmed(), m_binFolder);
    // The commands met while waiting did nothing: no dialog, no message, no close.
    EXPECT_TRUE(m_dialogs.calls().isEmpty());
    EXPECT_TRUE(m_messages.shown().isEmpty());

    EXPECT_EQ(RunProcessAndWait(CommandLine(m_binFolder + QStringLiteral("/none"))).outcome,
              ToolResult::NotStarted);
}

TEST_F(App, SpreadsheetAndHandOverHelpers)
{
    EXPECT_FALSE(OpenXmlInExcel(QStringLiteral("/x/a.xml")));
    EXPECT_TRUE(m_spreadsheet.opened.isEmpty());
    m_spreadsheet.installed = true;
    EXPECT_TRUE(OpenXmlInExcel(QStringLiteral("/x/a b.xml")));
    EXPECT_EQ(m_spreadsheet.opened, QStringList{QStringLiteral("/x/a b.xml")});

    const QString name = QStringLiteral("LastQueryFile");
    QString value = QStringLiteral("untouched");
    ASSERT_TRUE(HandOver::SetValue(name, QString(600, u'x')));
    EXPECT_FALSE(ReadRegistryString(name, value));
    EXPECT_EQ(value, QStringLiteral("untouched"));
    EXPECT_TRUE(ClearRegistryString(name));
    EXPECT_TRUE(ReadRegistryString(name, value));
    EXPECT_TRUE(value.isEmpty());
}

TEST_F(App, StartsTheRealContentEditorWithTheDocumentedArguments)
{
    const QString editor = QStringLiteral(QUORVANE_APP_DIR "/bin/TOVKContEditJP");
    ASSERT_TRUE(QFileInfo::exists(editor)) << "build TOVKContEditJP first";
    ASSERT_FALSE(HubFixture::InstallProgram(editor, m_binFolder, QStringLiteral("TOVKContEditJP"))
                     .isEmpty());
    COstrelinApp app;
    app.LoadToolArchive();
    MakeView();
    const QString path = MakeProject(QStringLiteral("real"), {1});
    OpenProject(path);
    SKIP_WHILE_THE_USER_RUNS("TOVKContEditJP");

    QStringList arguments;
    QString cwd;
    QTimer timer;
    timer.setInterval(100);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&timer, &QTimer::timeout,
                     [&]
                     {
                         CProcessHolder& holder = View().m_piContentEditor;
                         if (!IsProcessRunning(holder))
                             return;
                         const QString proc =
                             QStringLiteral("/proc/%1/").arg(holder.process->ProcessId());
                         if (arguments.isEmpty())
                         {
                             const QByteArray raw =
                                 TestSupport::ReadFile(proc + QStringLiteral("cmdline"));
                             for (const QByteArray& part : raw.split('\0'))
                                 arguments << QString::fromUtf8(part);
                             cwd = QFileInfo(proc + QStringLiteral("cwd")).symLinkTarget();
                         }
                         // Once it had time to come up, ask it to close like the session would.
                         if (clock.elapsed() > 1500)
                             ::kill(pid_t(holder.process->ProcessId()), SIGTERM);
                     });
    timer.start();
    View().OnContentEditor();
    timer.stop();

    const QString convert = QFileInfo(path).path() + QStringLiteral("/convert");
    ASSERT_GE(arguments.size(), 4);
    EXPECT_EQ(arguments.mid(1, 3),
              (QStringList{QStringLiteral("-d"), convert,
                           convert + QStringLiteral("/input/xml/TOVKContent.xml")}));
    EXPECT_EQ(cwd, m_binFolder);
    EXPECT_TRUE(m_messages.shown().isEmpty());
    // The editor left the shared tools at its exit, as the hub still holds them.
    EXPECT_TRUE(ToolsThere(app.m_strToolFolder));
}
} // namespace
