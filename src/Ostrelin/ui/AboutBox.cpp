#include "Ostrelin/ui/AboutBox.h"

#include "Ostrelin/res/resource.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QLabel>
#include <QPushButton>

CHubAboutDlg::CHubAboutDlg(QWidget* parent) : CAboutDlg(parent)
{
    setWindowTitle(Strings::Load(IDS_ABOUT_CAPTION));
    ProductName()->setObjectName(QString::number(IDC_ABOUT_PRODUCT));
    VersionText()->setObjectName(QString::number(IDC_ABOUT_VERSION));
    Copyright()->setObjectName(QString::number(IDC_ABOUT_COPYRIGHT));
    if (auto* ok = findChild<QPushButton*>(QString::number(IDOK)))
        ok->setText(Strings::Load(IDS_DIALOG_OK));
}

bool CHubAboutDlg::OnInitDialog()
{
    CAboutDlg::OnInitDialog();
    VersionText()->setText(FormatString(IDS_VERSION_FORMAT, {1, 1}));
    return true;
}
