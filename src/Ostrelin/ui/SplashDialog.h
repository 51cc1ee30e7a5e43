#pragma once
// The start-up picture: a captionless box that closes itself after one second. Enter and
// Esc do not close it.
#include <QDialog>

class QTimer;

class CSplashDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kShowMs = 1000;

    explicit CSplashDialog(QWidget* parent = nullptr);

    bool OnInitDialog();
    void OnTimer();
    int DoModal();

    void accept() override {}
    void reject() override {}

private:
    QTimer* m_timer = nullptr;
};
