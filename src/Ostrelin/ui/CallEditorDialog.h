#pragma once
// Step 2, "2. データ作成": starts the two editors, summarises the content and questionnaire
// data of the project tree, and opens the content XML read-only in the spreadsheet program.
#include "Ostrelin/ui/StepPage.h"

class CMainFormView;
class QPlainTextEdit;
class QPushButton;

class CCallEditorDialog : public CStepPage
{
    Q_OBJECT
public:
    explicit CCallEditorDialog(CMainFormView* owner);

    bool OnInitDialog();
    void UpdateInfo();
    bool CheckStep(QString& error) override;
    void Refresh() override { UpdateInfo(); }

    void OnEditContent();
    void OnEditQuery();
    void OnCheckInExcel();

    // The two summaries as UpdateInfo builds them.
    static QString ContentSummary(const QString& projectPath);
    static QString QuerySummary(const QString& projectPath);

    QPlainTextEdit* ContentInfo() const { return m_edtContentInfo; }
    QPlainTextEdit* QueryInfo() const { return m_edtQueryInfo; }
    QPushButton* ExcelButton() const { return m_btnExcel; }

private:
    CMainFormView* m_pOwner;
    QPushButton* m_btnContent = nullptr;
    QPushButton* m_btnQuery = nullptr;
    QPlainTextEdit* m_edtContentInfo = nullptr;
    QPlainTextEdit* m_edtQueryInfo = nullptr;
    QPushButton* m_btnExcel = nullptr;
};
