#pragma once
// The sort dialog (template 147): sort by item number, optionally renumbering 1..n.
#include <QDialog>

class QCheckBox;

class CSortDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSortDlg(QWidget* parent = nullptr);

    virtual void DoDataExchange(bool save);
    virtual bool OnInitDialog();
    // OnInitDialog, then modal; IDOK or IDCANCEL (the box's state is kept only on OK).
    int DoModal();
    void OnOK();

    // "Fill in unused numbers".
    bool m_bRenumber = false;

    QCheckBox* FillUnusedBox() const { return m_check; }

private:
    QCheckBox* m_check = nullptr;
};
