#pragma once
// Step page 6: the distribution servers with role, channel, work total and problems; add,
// edit and delete through the server settings dialog, and the import of a pairing file.
#include "Ostrelin/ui/ListStepPage.h"

#include <QByteArray>
#include <QStringList>

class CWdbEditDialog;
struct ReportRow;

// The server names of a pairing file: at most 64, each ended by CR or LF, up to the first
// NUL; a last name without a line end is dropped. Bytes become characters one to one.
QStringList ParseServerNames(const QByteArray& bytes);

class CWdbListDialog : public CListStepPage
{
    Q_OBJECT
public:
    explicit CWdbListDialog(QWidget* parent = nullptr);

    bool OnInitDialog();
    // Rebuilds all rows from the project, sorts them and sets the sort arrow.
    void FillList() override;
    bool CheckStep(QString& error) override;

    void OnDblClkList() override;
    void OnDelete();
    void OnImportServerList();
    void OnColumnClick(int column);
    void SetSortArrow(int column, int direction);
    static int CompareServers(const ReportRow& first, const ReportRow& second,
                              const CWdbListDialog* page);

    bool SortDescending() const { return m_bSortDescending; }
    int SortColumn() const { return m_nSortColumn; }

protected:
    // The modal run of the server settings dialog; tests drive it through this.
    virtual int RunEditDialog(CWdbEditDialog& dialog);

private:
    bool m_bSortDescending = false;
    int m_nSortColumn = 0;
};
