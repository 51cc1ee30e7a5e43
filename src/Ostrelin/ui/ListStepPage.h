#pragma once
// The step pages whose body is one report list (registrations, servers): the list's double
// click, Enter, Return and Space edit the selected row, and the rows are rebuilt whenever
// the page is shown.
#include "Ostrelin/ui/StepPage.h"

#include <functional>

class CReportList;
class DialogLayout;
class QPushButton;

class CListStepPage : public CStepPage
{
    Q_OBJECT
public:
    explicit CListStepPage(QWidget* parent = nullptr) : CStepPage(parent) {}

    // Rebuilds every row from the active project.
    virtual void FillList() = 0;
    void Refresh() override { FillList(); }
    // Edits the row the selection names: a stored one, or the add row.
    virtual void OnDblClkList() = 0;
    bool PreTranslateMessage(QKeyEvent* event) override;
    void OnShowWindow(bool show) override;

    CReportList* List() const { return m_list; }

protected:
    // Makes the page's list (several rows selectable) at the dialog-unit rectangle; its
    // double click and edit keys reach OnDblClkList.
    void CreateList(const DialogLayout& layout, unsigned id, bool clickableHeader, int x, int y,
                    int cx, int cy);
    // A push button that never takes the default role, at the dialog-unit rectangle.
    QPushButton* CreateButton(const DialogLayout& layout, unsigned id, unsigned text, int x, int y,
                              int cx, int cy);
    // The one selected row to edit; -1 when none is selected, and when several are (after
    // the message that only one can be edited).
    int SingleSelectedRow() const;
    // The first row that matches is shown with the top row `top` moved just enough, then
    // selected and focused; nothing happens when none matches.
    void RevealFirst(const std::function<bool(int row)>& matches, int top);

    bool eventFilter(QObject* watched, QEvent* event) override;

    CReportList* m_list = nullptr;
};
