#pragma once
// The modal box shown while a started editor runs. It closes itself as soon as neither
// editor runs; no button, key or close box ends it.
#include <QDialog>

class CMainFormView;
class QLabel;
class QTimer;

class CWaitEditorDialog : public QDialog
{
    Q_OBJECT
public:
    CWaitEditorDialog(const QString& message, CMainFormView* parent);

    bool OnInitDialog();
    // True while the content editor or the questionnaire editor runs.
    bool ContinueModal() const;
    int DoModal();

    QLabel* MessageLabel() const { return m_stcMessage; }

    void accept() override {}
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Poll();

    QString m_strMessage;
    CMainFormView* m_pView;
    QLabel* m_stcMessage = nullptr;
    QTimer* m_timer = nullptr;
};
