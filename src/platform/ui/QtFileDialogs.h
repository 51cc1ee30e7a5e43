#pragma once
// File dialogs shown with QFileDialog.
#include "platform/FileDialogs.h"

#include <QDialog>

class QFileDialog;
class QLabel;

class QtFileDialogs : public FileDialogs
{
public:
    QString GetOpenFileName(QObject* parent, const QString& title, const QString& folder,
                            const QString& filter, const QString& defaultSuffix) override;
    QStringList GetOpenFileNames(QObject* parent, const QString& title, const QString& folder,
                                 const QString& filter) override;
    QString GetSaveFileName(QObject* parent, const QString& title, const QString& path,
                            const QString& filter, const QString& defaultSuffix) override;
    QString BrowseForFolder(QObject* parent, const QString& instruction,
                            const QString& folder) override;
};

// The folder browser: the caller's instruction inside the window above the folder view, the
// program's title as caption. Only folders are shown and chosen.
class FolderBrowser : public QDialog
{
    Q_OBJECT
public:
    FolderBrowser(QWidget* parent, const QString& instruction, const QString& folder);

    QLabel* Instruction() const { return m_instruction; }
    QFileDialog* Folders() const { return m_folders; }
    // The chosen folder after the browser was accepted; "" otherwise.
    QString SelectedFolder() const;

private:
    QLabel* m_instruction = nullptr;
    QFileDialog* m_folders = nullptr;
};
