#include "platform/ui/QtFileDialogs.h"

#include "platform/Messages.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>
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

QString QtFileDialogs::BrowseForFolder(QObject* parent, const QString& instruction,
                                       const QString& folder)
{
    FolderBrowser browser(AsWidget(parent), instruction, folder);
    browser.exec();
    return browser.SelectedFolder();
}

FolderBrowser::FolderBrowser(QWidget* parent, const QString& instruction, const QString& folder)
    : QDialog(parent)
{
    setWindowTitle(Messages::ApplicationTitle());
    auto* layout = new QVBoxLayout(this);
    QString text = instruction;
    m_instruction = new QLabel(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    m_instruction->setTextFormat(Qt::PlainText);
    m_instruction->setWordWrap(true);
    layout->addWidget(m_instruction);

    // The dialog's own folder view, held as a part of this window.
    m_folders = new QFileDialog(this);
    m_folders->setWindowFlags(Qt::Widget);
    m_folders->setOption(QFileDialog::DontUseNativeDialog);
    m_folders->setOption(QFileDialog::ShowDirsOnly);
    m_folders->setFileMode(QFileDialog::Directory);
    const QFileInfo start(folder);
    m_folders->setDirectory(start.isDir() ? start.absoluteFilePath() : start.absolutePath());
    layout->addWidget(m_folders);
    m_folders->setVisible(true);
    connect(m_folders, &QFileDialog::finished, this, &QDialog::done);
}

QString FolderBrowser::SelectedFolder() const
{
    if (result() != QDialog::Accepted)
        return QString();
    return m_folders->selectedFiles().value(0);
}
