#include "Ostrelin/ui/ReportDialog.h"

#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "platform/Messages.h"
#include "platform/Strings.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

CReportDialog::CReportDialog(const QString& message, const QString& details, QWidget* parent)
    : QDialog(parent), m_strMessage(message), m_strDetails(details)
{
    setObjectName(QString::number(IDD_REPORT));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 239, 234);
    m_stcMessage = new QLabel(this);
    m_stcMessage->setObjectName(QString::number(IDC_REPORT_MESSAGE));
    m_stcMessage->setAlignment(Qt::AlignCenter);
    m_stcMessage->setTextFormat(Qt::PlainText);
    layout.Place(m_stcMessage, 8, 8, 223, 8);
    m_edtDetails = new QPlainTextEdit(this);
    m_edtDetails->setObjectName(QString::number(IDC_REPORT_DETAILS));
    m_edtDetails->setReadOnly(true);
    m_edtDetails->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout.Place(m_edtDetails, 8, 24, 223, 180);
    auto* ok = new QPushButton(Strings::Load(IDS_DIALOG_OK), this);
    ok->setObjectName(QString::number(IDOK));
    ok->setDefault(true);
    layout.Place(ok, 96, 212, 48, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool CReportDialog::OnInitDialog()
{
    m_stcMessage->setText(m_strMessage);
    QString details = m_strDetails;
    m_edtDetails->setPlainText(details.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setWindowTitle(Strings::Load(IDS_APP_TITLE));
    return true;
}

int CReportDialog::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
