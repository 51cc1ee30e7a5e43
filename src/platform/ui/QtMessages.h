#pragma once
// Message boxes shown with QMessageBox.
#include "platform/Messages.h"

class QWidget;

class QtMessages : public Messages
{
public:
    // parent: the window the boxes belong to (may be set later).
    explicit QtMessages(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    int Show(const QString& text, unsigned flags, const QString& caption) override;

private:
    QWidget* m_parent;
};
