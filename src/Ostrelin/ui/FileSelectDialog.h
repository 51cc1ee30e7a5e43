#pragma once
// Step 1, "1. ファイル選択": the project file's path and the New and Open buttons.
#include "Ostrelin/ui/StepPage.h"

class CMainFormView;
class QFontMetrics;
class QLineEdit;
class QPushButton;

// Shortens a path to a pixel width: leading folders give way to "..." first, so the file
// name stays visible as long as it fits at all.
void CompactPathToWidth(QString& path, const QFontMetrics& metrics, int width);

class CFileSelectDialog : public CStepPage
{
    Q_OBJECT
public:
    explicit CFileSelectDialog(CMainFormView* owner);

    bool OnInitDialog();
    void UpdatePath();
    bool CheckStep(QString& error) override;
    void Refresh() override { UpdatePath(); }

    void OnNewProject();
    void OnOpenProject();

    QLineEdit* PathEdit() const { return m_edtPath; }

private:
    CMainFormView* m_pOwner;
    QLineEdit* m_edtPath = nullptr;
    QPushButton* m_btnNew = nullptr;
    QPushButton* m_btnOpen = nullptr;
};
