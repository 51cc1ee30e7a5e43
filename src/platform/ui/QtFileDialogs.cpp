#include "platform/ui/QtFileDialogs.h"

#include <QFileDialog>
#include <QWidget>

namespace
{
QWidget* AsWidget(QObject* parent)
{
    return qobject_cast<QWidget*>(parent);
}
} // namespace

QString QtFileDialogs::GetOpenFileName(QObject* parent, const QString& title, const QString& folder,
                                       const QString& filter)
{
    return QFileDialog::getOpenFileName(AsWidget(parent), title, folder, ToQtFilter(filter));
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
    if (!defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(defaultSuffix.startsWith(u'.') ? defaultSuffix.mid(1)
                                                               : defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString QtFileDialogs::BrowseForFolder(QObject* parent, const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(AsWidget(parent), title, folder);
}
