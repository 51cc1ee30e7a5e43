#pragma once
// Open / save file dialogs and folder browsing through a replaceable backend.
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

class QObject;

class FileDialogs
{
public:
    virtual ~FileDialogs();

    // The filter is Qt's form ("XML files (*.xml);;All files (*)"); also accepted is the
    // Windows form with '|' separators ("XML files (*.xml)|*.xml||"). Empty = cancelled.
    // defaultSuffix ("bmp", without dot) is added to a typed name that has none before the
    // file is looked for.
    virtual QString GetOpenFileName(QObject* parent, const QString& title, const QString& folder,
                                    const QString& filter,
                                    const QString& defaultSuffix = QString()) = 0;
    virtual QStringList GetOpenFileNames(QObject* parent, const QString& title,
                                         const QString& folder, const QString& filter) = 0;
    // defaultSuffix ("xml", without dot) is added when the name given has none.
    virtual QString GetSaveFileName(QObject* parent, const QString& title, const QString& path,
                                    const QString& filter,
                                    const QString& defaultSuffix = QString()) = 0;
    // The instruction stands inside the browser, above the folders.
    virtual QString BrowseForFolder(QObject* parent, const QString& instruction,
                                    const QString& folder) = 0;

    // The backend in use; without one set, every dialog is cancelled.
    static FileDialogs& Current();
    // Not owned; nullptr goes back to the cancelling default.
    static void SetCurrent(FileDialogs* backend);

    // Turns a Windows-style '|' filter into Qt's ";;" form; a Qt filter is kept.
    static QString ToQtFilter(const QString& filter);
};

struct FileDialogCall
{
    enum class Kind
    {
        Open,
        OpenMany,
        Save,
        Folder
    };
    Kind kind;
    QString title;
    QString folder; // the folder or start path given
    QString filter;
    QString defaultSuffix; // open and save dialogs
};

// Scripted backend for tests: answers from a queue (an empty answer = cancelled), records
// every call. Installs itself as current; the previous backend comes back on destruction.
class ScriptedFileDialogs : public FileDialogs
{
public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;

    QString GetOpenFileName(QObject* parent, const QString& title, const QString& folder,
                            const QString& filter, const QString& defaultSuffix) override;
    QStringList GetOpenFileNames(QObject* parent, const QString& title, const QString& folder,
                                 const QString& filter) override;
    QString GetSaveFileName(QObject* parent, const QString& title, const QString& path,
                            const QString& filter, const QString& defaultSuffix) override;
    QString BrowseForFolder(QObject* parent, const QString& title, const QString& folder) override;

    void Answer(const QString& path);
    void AnswerMany(const QStringList& paths);
    void Cancel() { Answer(QString()); }

    const QList<FileDialogCall>& calls() const { return m_calls; }

private:
    QStringList Next();

    FileDialogs* m_previous = nullptr;
    QList<FileDialogCall> m_calls;
    QQueue<QStringList> m_answers;
};
