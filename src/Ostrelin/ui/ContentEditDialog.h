#pragma once
// The work settings dialog: the guide number and the work of one registration. It only
// reads the project; the caller applies the numbers after OK.
#include <QDialog>

class CGuideEntry;
class CReportList;
class QLineEdit;

class CContentEditDialog : public QDialog
{
    Q_OBJECT
public:
    // The entry is read, never written; a new registration passes work number -1.
    CContentEditDialog(const CGuideEntry* entry, QWidget* parent = nullptr);

    bool OnInitDialog();
    void FillList();
    // Validates; ends the dialog with IDOK only when the input is accepted.
    void OnOK();
    void OnCancel();
    int DoModal();

    QLineEdit* GuideNumberEdit() const { return m_edit; }
    CReportList* WorksList() const { return m_list; }

    const CGuideEntry* m_pEntry = nullptr;
    qint32 m_nGuideNo = 0;
    qint32 m_nWorkNo = -1;

protected:
    void reject() override { OnCancel(); }

private:
    QLineEdit* m_edit = nullptr;
    CReportList* m_list = nullptr;
};
