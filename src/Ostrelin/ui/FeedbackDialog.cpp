#include "Ostrelin/ui/FeedbackDialog.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/ChildProcesses.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFormView.h"
#include "platform/Path.h"
#include "platform/Shell.h"
#include "platform/Strings.h"

#include <QLabel>
#include <QPushButton>

CFeedbackDialog::CFeedbackDialog(CMainFormView* owner) : CStepPage(owner), m_pOwner(owner)
{
    setObjectName(QString::number(IDD_FEEDBACK));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 175, 88);
    m_btnHelp = new QPushButton(Strings::Load(IDS_FEEDBACK_HELP_BUTTON), this);
    m_btnHelp->setObjectName(QString::number(IDC_FEEDBACK_HELP));
    layout.Place(m_btnHelp, 8, 8, 128, 32);
    ConnectCommand(m_btnHelp, &QPushButton::clicked, &CFeedbackDialog::OnShowHelp);
    auto* text = new QLabel(Strings::Load(IDS_FEEDBACK_HELP_TEXT), this);
    text->setTextFormat(Qt::PlainText);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout.Place(text, 8, 48, 159, 32);
}

QString CFeedbackDialog::HelpPagePath() const
{
    return m_pOwner->m_strAppFolder + u'/' + Strings::Load(IDS_FEEDBACK_HELP_PAGE);
}

void CFeedbackDialog::OnShowHelp()
{
    // The opener names what it could not open (a missing page, a browser that does not start).
    const QString page = Path::Resolve(HelpPagePath());
    Shell::Open(page, ReportOpenFailure(page));
}
