#include "platform/ui/QtFileDialogs.h"

#include <QFileDialog>
#include <QWidget>

namespace
{
QWidget* AsWidget(QObject* parent)
{
    return qobject_cast<QWidget*>(parent);
}

void SetDefaultSuffix(QFileDialog& dialog, const QString& suffix)
{
    if (!suffix.isEmpty())
        dialog.setDefaultSuffix(suffix.startsWith(u'.') ? suffix.mid(1) : suffix);
}
} // namespace

QString QtFileDialogs::GetOpenFileName(QObject* parent, const QString& title, const QString& folder,
                                       const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(AsWidget(parent), title, folder, ToQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    SetDefaultSuffix(dialog, defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QStringList QtFileDialogs::GetOpenFileNames(QObject* parent, const QString& title,
                                            const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileNames(AsWidget(parent), title, folder, ToQtFilter(filter));
}

QString QtFileDialogs::GetSaveFileName(QObject* parent, const QString& title, const QString& path,
                                       const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(AsWidget(parent), title, path, ToQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    SetDefaultSuffix(dialog, defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString QtFileDialogs::BrowseForFolder(QObject* parent, const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(AsWidget(parent), title, folder);
}
