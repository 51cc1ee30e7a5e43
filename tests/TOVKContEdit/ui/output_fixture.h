#pragma once
// The bench of the Output command tests: a project with a picture and a voice, the
// converter stand-in's record and control files, the frame and the output command; the
// derived fixture puts the converter into the start folder.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/Output.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "common/StandinRecord.h"
#include "common/TestSupport.h"
#include "platform/RecordingMessages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace OutputFixture
{
using TestSupport::RecordedRun;

// The progress dialog while the output runs.
inline CProgressDlg* ShownProgress()
{
    for (QWidget* window : QApplication::topLevelWidgets())
    {
        auto* progress = qobject_cast<CProgressDlg*>(window);
        if (progress && progress->isVisible())
            return progress;
    }
    return nullptr;
}

// While it lives, clicks Cancel of the progress dialog once, as soon as `when` holds;
// `clicked` runs from the click.
class CancelProbe
{
public:
    explicit CancelProbe(std::function<bool()> when)
    {
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this, when = std::move(when)]
                         {
                             CProgressDlg* progress = ShownProgress();
                             if (progress && !clicked.isValid() && when())
                             {
                                 QTest::mouseClick(progress->CancelButton(), Qt::LeftButton);
                                 clicked.start();
                             }
                         });
        m_timer.start(20);
    }
    void Stop() { m_timer.stop(); }

    QElapsedTimer clicked;

private:
    QTimer m_timer;
};

class Bench : public ::testing::Test
{
protected:
    // The project in a fresh folder of that name; the stand-in is told where to record and
    // what to do in the form `toolPath` gives (a Windows converter wants Windows paths).
    void MakeProject(const QString& folderName,
                     const std::function<QString(const QString&)>& toolPath = {})
    {
        const auto forTool = [&toolPath](const QString& path)
        { return toolPath ? toolPath(path) : path; };
        Strings::Install(ContEditStringsEN());
        m_project = TestSupport::NewFolder(folderName);
        m_convert = m_project + QStringLiteral("/convert");
        QDir().mkpath(m_convert + QStringLiteral("/input/xml"));
        m_media = m_project + QStringLiteral("/media");
        m_bmp =
            TestSupport::WriteFile(m_media + QStringLiteral("/a.bmp"), ChecksFixtures::GuideBmp(4));
        m_wav = TestSupport::WriteFile(
            m_media + QStringLiteral("/a.wav"),
            ChecksFixtures::MakeWav(1, 16000, 16, ChecksFixtures::Samples(3200)));
        m_records = m_project + QStringLiteral("/runs");
        m_control = m_project + QStringLiteral("/marvex.control");
        qputenv("MARVEX_RECORD", forTool(m_records).toUtf8());
        qputenv("MARVEX_CONTROL", forTool(m_control).toUtf8());
        m_tools = m_project + QStringLiteral("/tools dir");
    }

    void ShowFrame()
    {
        m_frame.OnCreate();
        m_frame.show();
        m_output.SetOwner(&m_frame);
    }

    void TearDown() override
    {
        qunsetenv("MARVEX_RECORD");
        qunsetenv("MARVEX_CONTROL");
    }

    // A row with picture, voice and description in each of the languages.
    void AddRow(int number, std::initializer_list<int> languages)
    {
        const int row = m_doc.AddRow(false);
        ContentRow& content = m_doc.GetRow(row);
        content.itemNumber = number;
        content.comment = QStringLiteral("comment %1").arg(number);
        for (int language : languages)
        {
            content.image1[language] = m_bmp;
            content.voice[language] = m_wav;
            content.description[language] =
                QStringLiteral("Work %1 in %2").arg(number).arg(language);
        }
    }

    // Runs the Output command, answered Yes, calling `tick` every 100 ms while it runs;
    // returns how long it ran in ms.
    qint64 OutputWhileTicking(const std::function<void()>& tick)
    {
        QTimer timer;
        timer.setInterval(100);
        QObject::connect(&timer, &QTimer::timeout, tick);
        m_messages.Answer(IDYES);
        QTimer::singleShot(0, [&timer] { timer.start(); });
        QElapsedTimer elapsed;
        elapsed.start();
        m_output.OnFileOutput();
        timer.stop();
        return elapsed.elapsed();
    }

    void Control(const QByteArray& text) { TestSupport::WriteFile(m_control, text); }

    QList<RecordedRun> Runs() const { return TestSupport::Runs(m_records); }

    QString Folder(const QString& code) const
    {
        return m_convert + QStringLiteral("/output/contents/") + code;
    }

    QString m_project, m_convert, m_media, m_bmp, m_wav, m_records, m_control, m_tools, m_start;
    RecordingMessages m_messages;
    CTOVKContEditDoc m_doc;
    CMainFrame m_frame;
    CContentOutput m_output{m_doc, [this] { return OutputFolders{m_start, m_convert, m_tools}; }};
};
} // namespace OutputFixture
