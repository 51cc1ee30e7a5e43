#pragma once
// The server settings dialog: name, role, channel and, for a content server, the guide
// numbers it carries. It edits a working copy that the caller applies after OK.
#include "Ostrelin/model/BindData.h"

#include <QDialog>

class CReportList;
class QComboBox;
class QLineEdit;
class QPushButton;
struct ReportRow;

class CWdbEditDialog : public QDialog
{
    Q_OBJECT
public:
    CWdbEditDialog(const CServer* source, QWidget* parent = nullptr);

    bool OnInitDialog();
    void FillWorkLists();
    void EnableByRole();
    void OnChangeName();
    void OnSelChangeRole();
    void OnSelChangeChannel();
    void OnAddWorks();
    void OnRemoveWorks();
    void OnColumnClickStored(int column);
    void OnColumnClickStorable(int column);
    // Checks the working server; ends the dialog with IDOK only when it is accepted.
    void OnOK();
    void OnCancel();
    int DoModal();

    QLineEdit* NameEdit() const { return m_name; }
    QComboBox* RoleBox() const { return m_role; }
    QComboBox* ChannelBox() const { return m_channel; }
    CReportList* StoredList() const { return m_stored; }
    CReportList* StorableList() const { return m_storable; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* RemoveButton() const { return m_remove; }
    QLineEdit* TotalEdit() const { return m_total; }

    CServer m_server;
    const CServer* m_pSource = nullptr;

protected:
    void reject() override { OnCancel(); }

private:
    static int CompareRows(const ReportRow& a, const ReportRow& b, int column, bool descending);
    void RefillKeepingTops();

    bool m_bStoredDescending = false;
    int m_nStoredColumn = 0;
    bool m_bStorableDescending = false;
    int m_nStorableColumn = 0;

    QLineEdit* m_name = nullptr;
    QComboBox* m_role = nullptr;
    QComboBox* m_channel = nullptr;
    CReportList* m_stored = nullptr;
    CReportList* m_storable = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QLineEdit* m_total = nullptr;
};
