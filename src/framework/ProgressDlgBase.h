#pragma once
// What the two programs' modeless progress dialogs share: a first line of text, a bar, a
// percent text and Cancel; the owner held disabled while the dialog exists; Enter, Esc,
// Cancel and the close box never close it, Esc, Cancel and the close box only raise the
// cancel flag. Each program's CProgressDlg adds its own stepping rules.
#include <QDialog>
#include <QPointer>

class DialogLayout;
class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDlgBase : public QDialog
{
    Q_OBJECT
public:
    // The ids of one program's progress template.
    struct Ids
    {
        unsigned dialog;
        unsigned caption;
        unsigned text;
        unsigned bar;
        unsigned percent;
        unsigned cancelText;
    };

    ~CProgressDlgBase() override;

    // Enables the owner again if this dialog disabled it, then hides the window.
    bool DestroyWindow();
    bool IsCreated() const { return m_created; }

    int GetPos() const;
    void SetPos(int position);
    void PumpMessages();

    bool IsCancelRequested() const { return m_bCancel; }
    // Raises the cancel flag as the Cancel button does (a stop asked from elsewhere).
    void RequestCancel() { OnCancel(); }
    bool OwnerDisabled() const { return m_bParentDisabled; }
    QWidget* Owner() const { return m_owner; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QLabel* PercentLabel() const { return m_percent; }
    QPushButton* CancelButton() const { return m_cancel; }

    // The members the owner may set before Create.
    unsigned m_nCaptionID;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep;

protected:
    CProgressDlgBase(const Ids& ids, int step);

    // Disables the owner when it is enabled, builds the controls and places the window over
    // the owner; the window is not shown. False when the controls could not be made (the
    // owner is enabled again).
    bool Attach(QWidget* owner, const DialogLayout& layout);
    // Writes the percent text only when it changes.
    void SetPercentText(const QString& text);

    QLabel* TextLabel() const { return m_text; }

    void OnOK();
    void OnCancel();
    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool OnInitDialog(const DialogLayout& layout);

    Ids m_ids;
    QPointer<QWidget> m_owner;
    QProgressBar* m_progress = nullptr;
    QLabel* m_text = nullptr;
    QLabel* m_percent = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_bCancel = false;
    bool m_bParentDisabled = false;
    bool m_created = false;
    bool m_destroying = false;
};
