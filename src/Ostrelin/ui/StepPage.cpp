#include "Ostrelin/ui/StepPage.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/MainFrame.h"
#include "platform/CommandGuard.h"

#include <QShowEvent>

bool CStepPage::CheckStep(QString& error)
{
    error.clear();
    return true;
}

bool CStepPage::PreTranslateMessage(QKeyEvent*)
{
    return false;
}

bool CStepPage::RunGuarded(const std::function<void()>& command)
{
    return RunCommandHandler(command, IDS_MEMORY_EXCEPTION, IDS_COMMAND_FAILED);
}

bool CStepPage::RunGuarded(const QWidget* widget, const std::function<void()>& command)
{
    if (CMainFrame::IsBusyAround(widget))
        return false;
    return RunGuarded(command);
}

void CStepPage::OnActivate(bool) {}

void CStepPage::OnShowWindow(bool) {}

void CStepPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        OnShowWindow(true);
}
