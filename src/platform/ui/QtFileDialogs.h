#pragma once
// File dialogs shown with QFileDialog.
#include "platform/FileDialogs.h"

class QtFileDialogs : public FileDialogs
{
public:
    QString GetOpenFileName(QObject* parent, const QString& title, const QString& folder,
                            const QString& filter, const QString& defaultSuffix) override;
    QStringList GetOpenFileNames(QObject* parent, const QString& title, const QString& folder,
                                 const QString& filter) override;
    QString GetSaveFileName(QObject* parent, const QString& title, const QString& path,
                            const QString& filter, const QString& defaultSuffix) override;
    QString BrowseForFolder(QObject* parent, const QString& title, const QString& folder) override;
};
