#include "Ostrelin/ui/StepPage.h"

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

void CStepPage::OnActivate(bool) {}

void CStepPage::OnShowWindow(bool) {}

void CStepPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        OnShowWindow(true);
}
