#pragma once
// The step tabs. CTrefTabCtrl owns one page per tab and shows the page of the selected tab.
// CProgressTabCtrl adds the wizard rule: a step can be entered only when every step before
// it is complete; unreachable tabs have grey text but stay clickable, and a forward click
// over an incomplete step stops on that step and shows what is missing.
#include <QString>
#include <QTabBar>
#include <array>

class CStepPage;

class CTrefTabCtrl : public QTabBar
{
    Q_OBJECT
public:
    static constexpr int kMaxPages = 10;

    explicit CTrefTabCtrl(QWidget* parent = nullptr);
    ~CTrefTabCtrl() override;

    // Appends a tab for the page, moves the page to (10, 40) in its parent and hides it.
    // False when all places are taken.
    bool AddPage(const QString& title, CStepPage* page);
    // Shows the page of the selected tab; false when a selection change is under way.
    bool SelectPage();

    // Spans the given width at the top of its parent with every tab in view.
    void FitTabs(int width);

    CStepPage* Page(int index) const;
    int PageCount() const { return m_nCount; }
    int CurrentPage() const { return m_nCurrent; }
    CStepPage* GetCurrentPageWindow() const;

    // Selects a tab without the notices a click sends.
    void SetCurSel(int index);

protected:
    // The reflected selection notices; a click arrives as OnSelChanging, then OnSelChange.
    virtual void OnSelChanging();
    virtual void OnSelChange();

    int m_nLastSel = -1; // the selection before the current change

private:
    void OnCurrentChanged(int index);

    struct Entry
    {
        QString title;
        CStepPage* page = nullptr;
    };
    std::array<Entry, kMaxPages> m_aPages;
    int m_nCurrent = -1;
    int m_nCount = 0;
    bool m_bSwitching = false;
};

class CProgressTabCtrl : public CTrefTabCtrl
{
    Q_OBJECT
public:
    enum EStep
    {
        StepFileSelect,
        StepDataCreation,
        StepLanguage,
        StepTitleImage,
        StepWorks,
        StepServers,
        StepOutput,
        StepFeedbackViewer,
        StepCount
    };

    explicit CProgressTabCtrl(QWidget* parent = nullptr);

    // Re-runs every step check; moves the reachable boundary and pulls the selection back
    // to the first incomplete step when it lies behind the current tab.
    void UpdateStepStates();
    void CheckPage(int step);

    int Reachable() const { return m_nReachable; }
    const QString& StepError(int step) const { return m_strErrors.at(step); }
    // The text colour of a tab: normal up to the reachable step, grey after it.
    QColor TabColor(int index) const;

protected:
    void OnSelChanging() override;
    void OnSelChange() override;
    void tabInserted(int index) override;

private:
    void ApplyTabColors();

    int m_nReachable = 0;
    std::array<QString, kMaxPages> m_strErrors;
    int m_nPrevSel = -1;
};
