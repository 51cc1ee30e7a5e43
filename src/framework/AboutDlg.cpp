#include "framework/AboutDlg.h"

#include "framework/DialogLayout.h"
#include "platform/Messages.h"
#include "platform/Strings.h"
#include "platform/VersionReader.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

CAboutDlg::CAboutDlg(QWidget* parent, const AboutIds& ids) : QDialog(parent), m_ids(ids)
{
    const DialogLayout layout(DialogLayout::DialogFont(Strings::Load(ids.fontFace)));
    layout.SizeDialog(this, 235, 55);
    setWindowTitle(Strings::Load(ids.caption));
    setObjectName(QString::number(ids.dialog));

    m_icon = new QLabel(this);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    layout.Place(m_icon, 11, 14, 21, 20);
    m_icon->setPixmap(icon.pixmap(m_icon->size()));

    auto makeStatic = [&](unsigned id, unsigned text, int y)
    {
        auto* label = new QLabel(text != 0 ? Strings::Load(text) : QString(), this);
        label->setObjectName(QString::number(id));
        label->setTextFormat(Qt::PlainText);
        layout.Place(label, 40, y, 130, 8);
        return label;
    };
    m_product = makeStatic(ids.productStatic, ids.productText, 10);
    m_version = makeStatic(ids.versionStatic, ids.versionText, 24);
    m_copyright = makeStatic(ids.copyrightStatic, ids.copyrightText, 38);

    m_ok = new QPushButton(Strings::Load(ids.okText), this);
    m_ok->setObjectName(QString::number(IDOK));
    m_ok->setDefault(true);
    layout.Place(m_ok, 178, 7, 50, 14);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool CAboutDlg::OnInitDialog()
{
    std::unique_ptr<VersionInfoHandle> block = ReadVersionInfo();
    QString product;
    QString copyright;
    QueryVersionString(QStringLiteral("ProductName"), block.get(), product);
    QueryVersionString(QStringLiteral("LegalCopyright"), block.get(), copyright);
    // The version numbers are those of the program, not read from the block.
    if (m_product)
        m_product->setText(product);
    if (m_version)
        m_version->setText(FormatString(m_ids.versionFormat, {1, 1}));
    if (m_copyright)
        m_copyright->setText(copyright);
    FreeVersionInfo(block);
    return true;
}

int CAboutDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
