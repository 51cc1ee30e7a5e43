#pragma once
// The box shown while a started editor runs, over the main window it holds disabled. It
// closes itself as soon as neither editor runs; no button, key or close box ends it. The
// wait serves the events on every slice, so a close request to the main window is still
// answered; a termination request ends the editors.
#include <QDialog>
#include <functional>

class CLongOperation;
class CMainFormView;
class QLabel;

class CWaitEditorDialog : public QDialog
{
    Q_OBJECT
public:
    CWaitEditorDialog(const QString& message, CMainFormView* parent);

    bool OnInitDialog();
    // True while the content editor or the questionnaire editor runs.
    bool ContinueModal() const;
    // Shows the box and waits, under the operation, until neither editor runs.
    int DoModal(const CLongOperation& operation);
    // Runs a call of Wine's "reg" with the box up; `call` gets what its wait tells every
    // slice. "reg" shows nothing, so from a second into the call the text says Wine is
    // preparing (making its prefix, starting its server).
    void RunRegistryCall(const std::function<void(std::function<void()> step)>& call);

    QLabel* MessageLabel() const { return m_stcMessage; }

    void accept() override {}
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows the box over the main window, which it holds disabled until Close.
    void Open();
    void Close();

    QString m_strMessage;
    CMainFormView* m_pView;
    QLabel* m_stcMessage = nullptr;
    bool m_bOwnerDisabled = false;
};
