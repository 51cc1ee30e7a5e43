#include "Ostrelin/ui/StepPage.h"

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
