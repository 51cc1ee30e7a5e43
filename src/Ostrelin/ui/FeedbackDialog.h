#pragma once
// Step 8, "8. フィードバックビューワについて": opens the feedback viewer's help page.
#include "Ostrelin/ui/StepPage.h"

class CMainFormView;
class QPushButton;

class CFeedbackDialog : public CStepPage
{
    Q_OBJECT
public:
    explicit CFeedbackDialog(CMainFormView* owner);

    // AppFolder/./docs/html/... as the help page's path.
    QString HelpPagePath() const;
    void OnShowHelp();

    QPushButton* HelpButton() const { return m_btnHelp; }

private:
    CMainFormView* m_pOwner;
    QPushButton* m_btnHelp = nullptr;
};
