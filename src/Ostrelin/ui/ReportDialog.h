#pragma once
// The modal box that lists what a check found: a one-line message above a scrollable,
// read-only list of details. The caption is always the application title.
#include <QDialog>

class QLabel;
class QPlainTextEdit;

class CReportDialog : public QDialog
{
    Q_OBJECT
public:
    CReportDialog(const QString& message, const QString& details, QWidget* parent = nullptr);

    bool OnInitDialog();
    int DoModal();

    QLabel* MessageLabel() const { return m_stcMessage; }
    QPlainTextEdit* DetailsEdit() const { return m_edtDetails; }

private:
    QString m_strMessage;
    QString m_strDetails;
    QLabel* m_stcMessage = nullptr;
    QPlainTextEdit* m_edtDetails = nullptr;
};
