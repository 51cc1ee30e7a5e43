#pragma once
// The About box (template 100): product name and copyright from the program's version
// block, the version line from the string table.
#include <QDialog>

class QLabel;
class QPushButton;

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    virtual bool OnInitDialog();
    // OnInitDialog, then modal; IDOK or IDCANCEL.
    int DoModal();

    QLabel* ProductName() const { return m_product; }
    QLabel* VersionText() const { return m_version; }
    QLabel* Copyright() const { return m_copyright; }

private:
    QLabel* m_icon = nullptr;
    QLabel* m_product = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_copyright = nullptr;
    QPushButton* m_ok = nullptr;
};
