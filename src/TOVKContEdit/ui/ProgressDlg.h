#pragma once
// The modeless progress dialog of a long operation on the user-interface thread. While it
// exists it holds its owner disabled; each step first empties the event queue, which keeps
// the program painted. Enter, Esc, Cancel and the close box never close it: Esc, Cancel and
// the close box only raise the cancel flag.
#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDlg : public QDialog
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
    bool IsCreated() const { return m_created; }

    // Pumps the events; below the upper bound, steps the bar and updates the percent text.
    // Returns the position after the step, or the upper bound without stepping.
    int StepIt();
    void PumpMessages();
    // Writes the percent text of the position, only when it changes.
    void UpdatePercent(int position);

    int GetPos() const;
    void SetPos(int position);

    bool IsCancelRequested() const { return m_bCancel; }
    bool OwnerDisabled() const { return m_bParentDisabled; }
    QWidget* Owner() const { return m_owner; }

    QProgressBar* ProgressBar() const { return m_progress; }
    QLabel* Label() const { return m_label; }
    QLabel* PercentLabel() const { return m_percent; }
    QPushButton* CancelButton() const { return m_cancel; }

    // The members the owner may set before Create.
    unsigned m_nCaptionID;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 2;

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
    QLabel* m_label = nullptr;
    QLabel* m_percent = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_bCancel = false;
    bool m_bParentDisabled = false;
    bool m_created = false;
    bool m_destroying = false;
};
