#pragma once
// One output file of the viewer, written in binary beside its target and put in its place
// whole at Close (an interrupted run leaves the old file or the new one, never a cut one).
// Text is collected as UTF-16 and written as UTF-16LE in large pieces. A report for the
// pages can carry a script twin ("<name>.js") holding the same text, which the pages load
// from disk where a browser refuses to read the XML itself (UTF-8 with BOM, so a page in
// UTF-16 decodes it right; ASCII with string escapes).
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <memory>

class FileReplacement;

class CReportFile
{
public:
    enum ScriptTwin
    {
        NoScript,
        WithScript,
    };

    // Prints "can't open %s" and throws ErrWrite when the file cannot be created (also when
    // its folder inside the report folder is a link, which is never followed).
    explicit CReportFile(const QString& path, ScriptTwin twin = NoScript);
    // Names the report folder the run was given. Its folders are held open for the run and
    // listed once; a subfolder (Data) is opened inside it, never through a link.
    static void SetReportFolder(const QString& folder);
    ~CReportFile();
    CReportFile(const CReportFile&) = delete;
    CReportFile& operator=(const CReportFile&) = delete;

    // Where the text goes; Line and Flush move it to the file.
    QString& Text() { return m_text; }
    void WriteBom();
    // TABs, the text, CR LF.
    void Line(int tabs, QStringView text);
    // Raw bytes (templates); the collected text is written first.
    void WriteBytes(const QByteArray& bytes);
    // Writes the collected text when it has grown large.
    void FlushIfLarge()
    {
        if (m_text.size() >= FlushThreshold)
            Flush();
    }
    // Writes the rest and puts the file (and its script twin) in place; throws ErrWrite after a
    // write error, leaving the old files.
    void Close();

    // The script twin's name for a report path: "LOG.xml" -> "LOG.xml.js".
    static QString ScriptPath(const QString& path);
    // The script that hands the text to the page: quorvaneReport("<name>", "<text>");
    static QByteArray ScriptFor(const QString& name, QStringView text);

private:
    static constexpr qsizetype FlushThreshold = 1 << 16;
    void Flush();
    static void AppendScriptText(QByteArray& out, QStringView text);

    void Write(FileReplacement& file, const char* data, qsizetype size);

    std::unique_ptr<FileReplacement> m_file;
    std::unique_ptr<FileReplacement> m_script;
    QString m_text;
    bool m_failed = false;
};
