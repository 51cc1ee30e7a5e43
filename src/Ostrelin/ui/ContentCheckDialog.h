#pragma once
// The read-only check of the registrations in work-number order, sortable by any column.
#include <QDialog>

class CReportList;
struct ReportRow;

class CContentCheckDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CContentCheckDialog(QWidget* parent = nullptr);

    bool OnInitDialog();
    // Rebuilds, sorts and marks the sort column.
    void FillList();
    static int CompareItems(const ReportRow& first, const ReportRow& second,
                            const CContentCheckDialog* dialog);
    void OnHeaderItemClick(int column);
    int DoModal();

    CReportList* List() const { return m_list; }
    bool SortDescending() const { return m_bSortDescending; }
    int SortColumn() const { return m_nSortColumn; }

private:
    CReportList* m_list = nullptr;
    bool m_bSortDescending = false;
    int m_nSortColumn = 0;
};
