#include "platform/FileDialogs.h"

namespace
{
class CancellingDialogs : public FileDialogs
{
public:
    QString GetOpenFileName(QObject*, const QString&, const QString&, const QString&,
                            const QString&) override
    {
        return QString();
    }
    QStringList GetOpenFileNames(QObject*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString GetSaveFileName(QObject*, const QString&, const QString&, const QString&,
                            const QString&) override
    {
        return QString();
    }
    QString BrowseForFolder(QObject*, const QString&, const QString&) override { return QString(); }
};

CancellingDialogs g_cancelling;
FileDialogs* g_current = nullptr;
} // namespace

FileDialogs::~FileDialogs() = default;

FileDialogs& FileDialogs::Current()
{
    return g_current ? *g_current : g_cancelling;
}

void FileDialogs::SetCurrent(FileDialogs* backend)
{
    g_current = backend;
}

QString FileDialogs::ToQtFilter(const QString& filter)
{
    if (!filter.contains(u'|'))
        return filter;
    // "Name (*.a)|*.a;*.b|Other|*.c||": pairs of display name and patterns.
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    {
        const QString name = parts[i];
        if (name.isEmpty())
            break;
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        // Qt reads the patterns from the parentheses; keep the display name when it has them.
        if (name.contains(u'(') && name.trimmed().endsWith(u')'))
        {
            const qsizetype open = name.lastIndexOf(u'(');
            out << name.left(open) + u'(' + patterns + u')';
        }
        else
            out << name + QStringLiteral(" (") + patterns + u')';
    }
    return out.join(QStringLiteral(";;"));
}

ScriptedFileDialogs::ScriptedFileDialogs() : m_previous(&FileDialogs::Current())
{
    FileDialogs::SetCurrent(this);
}

ScriptedFileDialogs::~ScriptedFileDialogs()
{
    if (&FileDialogs::Current() == this)
        FileDialogs::SetCurrent(m_previous == &g_cancelling ? nullptr : m_previous);
}

QStringList ScriptedFileDialogs::Next()
{
    return m_answers.isEmpty() ? QStringList() : m_answers.dequeue();
}

QString ScriptedFileDialogs::GetOpenFileName(QObject*, const QString& title, const QString& folder,
                                             const QString& filter, const QString& defaultSuffix)
{
    m_calls.append({FileDialogCall::Kind::Open, title, folder, filter, defaultSuffix});
    const QStringList answer = Next();
    return answer.isEmpty() ? QString() : answer.first();
}

QStringList ScriptedFileDialogs::GetOpenFileNames(QObject*, const QString& title,
                                                  const QString& folder, const QString& filter)
{
    m_calls.append({FileDialogCall::Kind::OpenMany, title, folder, filter, QString()});
    return Next();
}

QString ScriptedFileDialogs::GetSaveFileName(QObject*, const QString& title, const QString& path,
                                             const QString& filter, const QString& defaultSuffix)
{
    m_calls.append({FileDialogCall::Kind::Save, title, path, filter, defaultSuffix});
    const QStringList answer = Next();
    return answer.isEmpty() ? QString() : answer.first();
}

QString ScriptedFileDialogs::BrowseForFolder(QObject*, const QString& title, const QString& folder)
{
    m_calls.append({FileDialogCall::Kind::Folder, title, folder, QString(), QString()});
    const QStringList answer = Next();
    return answer.isEmpty() ? QString() : answer.first();
}

void ScriptedFileDialogs::Answer(const QString& path)
{
    m_answers.enqueue(path.isEmpty() ? QStringList() : QStringList{path});
}

void ScriptedFileDialogs::AnswerMany(const QStringList& paths)
{
    m_answers.enqueue(paths);
}
