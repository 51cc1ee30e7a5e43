#include "TOVKContEdit/ui/SortDlg.h"

#include "TOVKContEdit/res/resource.h"
#include "framework/DialogLayout.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

CSortDlg::CSortDlg(QWidget* parent) : QDialog(parent)
{
    const DialogLayout layout(DialogLayout::DialogFont(Strings::Load(IDS_LIST_FONT_FACE)));
    layout.SizeDialog(this, 156, 62);
    setObjectName(QString::number(IDD_SORT));
    setWindowTitle(Strings::Load(IDS_SORT_CAPTION));

    auto* text = new QLabel(Strings::Load(IDS_SORT_TEXT), this);
    text->setTextFormat(Qt::PlainText);
    layout.Place(text, 7, 7, 142, 8);
    m_check = new QCheckBox(Strings::Load(IDS_SORT_FILL_UNUSED), this);
    m_check->setObjectName(QString::number(IDC_FILL_UNUSED));
    layout.Place(m_check, 7, 21, 142, 10);

    auto* ok = new QPushButton(Strings::Load(IDS_DIALOG_OK), this);
    ok->setObjectName(QString::number(IDOK));
    ok->setDefault(true);
    layout.Place(ok, 43, 41, 50, 14);
    auto* cancel = new QPushButton(Strings::Load(IDS_DIALOG_CANCEL), this);
    cancel->setObjectName(QString::number(IDCANCEL));
    layout.Place(cancel, 99, 41, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CSortDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CSortDlg::DoDataExchange(bool save)
{
    if (save)
        m_bRenumber = m_check->isChecked();
    else
        m_check->setChecked(m_bRenumber);
}

bool CSortDlg::OnInitDialog()
{
    DoDataExchange(false);
    return true;
}

void CSortDlg::OnOK()
{
    DoDataExchange(true);
    accept();
}

int CSortDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
