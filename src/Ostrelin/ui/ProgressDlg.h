#pragma once
// The hub's modeless progress dialog of the output: a message, a bar, a percent text and
// Cancel. While it exists it holds its owner disabled; each step first empties the event
// queue. Enter, Esc, Cancel and the close box never close it; Esc, Cancel and the close box
// only raise the cancel flag, which stays raised.
#include "Ostrelin/model/OutputProgress.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDlg : public QDialog, public COutputProgress
{
    Q_OBJECT
public:
    CProgressDlg();
    ~CProgressDlg() override;

    // Disables the owner (the given window, else the application's main window) when it is
    // enabled, builds and shows the dialog. False when it could not be made (the owner is
    // enabled again).
    bool Create(QWidget* owner = nullptr);
    // Enables the owner again if this dialog disabled it, then closes the window.
    bool DestroyWindow();

    void SetRange(int lower, int upper);
    void SetPos(int position);
    int GetPos() const;
    void SetStep(int step) override;
    void SetMessageText(const QString& text);

    // Once the percent text reads "100%" nothing happens and the upper bound is returned;
    // otherwise pumps, steps the bar and updates the percent text.
    int StepIt() override;
    void PumpMessages() override;
    // The percent of the position, capped at 100, written only when it changes.
    void UpdatePercent(int position);
    // Pumps, then puts the bar at its end; returns the previous position.
    int Complete() override;
    bool IsCancelRequested() const override { return m_bCancel; }

    bool OwnerDisabled() const { return m_bParentDisabled; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QLabel* MessageLabel() const { return m_message; }
    QLabel* PercentLabel() const { return m_percent; }
    QPushButton* CancelButton() const { return m_cancel; }

    // The members the owner may set before Create.
    unsigned m_nCaptionID;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;

protected:
    bool OnInitDialog();
    void OnOK();
    void OnCancel();

    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QWidget> m_owner;
    QProgressBar* m_progress = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_percent = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_bCancel = false;
    bool m_bParentDisabled = false;
    bool m_created = false;
    bool m_destroying = false;
};
