#include "Ostrelin/ui/FileSelectDialog.h"

#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFormView.h"
#include "platform/Strings.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void CompactPathToWidth(QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return;
    const QString ellipsis = QStringLiteral("...");
    QStringList parts = path.split(u'/');
    const QString name = parts.takeLast();
    // Drop folders from the end of the leading part: "/a/b/.../name", then "/a/.../name".
    for (qsizetype keep = parts.size() - 1; keep >= 0; --keep)
    {
        const QStringList lead = parts.mid(0, keep);
        QString candidate = lead.join(u'/');
        if (!lead.isEmpty())
            candidate += u'/';
        candidate += ellipsis + u'/' + name;
        if (metrics.horizontalAdvance(candidate) <= width)
        {
            path = candidate;
            return;
        }
    }
    // Not even the name fits: it is cut at its end.
    path = metrics.elidedText(name, Qt::ElideRight, width);
}

CFileSelectDialog::CFileSelectDialog(CMainFormView* owner) : CStepPage(owner), m_pOwner(owner)
{
    setObjectName(QString::number(IDD_FILE_SELECT));
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 216, 106);

    auto* label = new QLabel(Strings::Load(IDS_PROJECT_FILE_LABEL), this);
    layout.Place(label, 8, 8, 66, 8);

    m_edtPath = new QLineEdit(this);
    m_edtPath->setObjectName(QString::number(IDC_PROJECT_PATH));
    m_edtPath->setEnabled(false);
    layout.Place(m_edtPath, 8, 18, 200, 16);

    m_btnNew = new QPushButton(Strings::Load(IDS_NEW_PROJECT_BUTTON), this);
    m_btnNew->setObjectName(QString::number(IDC_NEW_PROJECT));
    layout.Place(m_btnNew, 48, 42, 120, 24);
    ConnectCommand(m_btnNew, &QPushButton::clicked, &CFileSelectDialog::OnNewProject);

    m_btnOpen = new QPushButton(Strings::Load(IDS_OPEN_PROJECT_BUTTON), this);
    m_btnOpen->setObjectName(QString::number(IDC_OPEN_PROJECT));
    layout.Place(m_btnOpen, 48, 74, 120, 24);
    ConnectCommand(m_btnOpen, &QPushButton::clicked, &CFileSelectDialog::OnOpenProject);
}

bool CFileSelectDialog::OnInitDialog()
{
    UpdatePath();
    return true;
}

void CFileSelectDialog::UpdatePath()
{
    QString path = GetActiveProjectPath();
    const QFontMetrics metrics(m_edtPath->font());
    // The text area of the edit: its client width less the frame and margins.
    const QMargins margins = m_edtPath->textMargins();
    const int width = m_edtPath->width() - margins.left() - margins.right() - 8;
    CompactPathToWidth(path, metrics, qMax(width, 1));
    m_edtPath->setText(path);
}

bool CFileSelectDialog::CheckStep(QString& error)
{
    error.clear();
    if (GetActiveProjectPath().isEmpty())
        error += Strings::Load(IDS_STEP_NO_PROJECT);
    return error.isEmpty();
}

void CFileSelectDialog::OnNewProject()
{
    m_pOwner->OnFileNew();
}

void CFileSelectDialog::OnOpenProject()
{
    m_pOwner->OnFileOpen();
}
