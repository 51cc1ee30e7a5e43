#pragma once
// The bench of the Output command tests: the output project, the frame and the output
// command; the derived fixture puts the converter into the start folder.
#include "TOVKContEdit/output_project.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/Output.h"
#include "TOVKContEdit/ui/ProgressDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace OutputFixture
{
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

class Bench : public Project
{
protected:
    void ShowFrame()
    {
        m_frame.OnCreate();
        m_frame.show();
        m_output.SetOwner(&m_frame);
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

    CMainFrame m_frame;
    CContentOutput m_output{m_doc, [this] { return OutputFolders{m_start, m_convert, m_tools}; }};
};
} // namespace OutputFixture
