#pragma once
// The first focus a dialog gives an edit selects the edit's text, as the dialog manager the
// dialogs were designed for does, so that typing replaces a proposed value (a guide number,
// a server name) instead of adding to it. Later focus (a click, the return from a message
// box) leaves the caret where it is. Each GUI program's main installs one for its run.
#include <QObject>

class QApplication;

class CDialogFocus : public QObject
{
public:
    explicit CDialogFocus(QApplication& application);
    ~CDialogFocus() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QApplication& m_application;
};
