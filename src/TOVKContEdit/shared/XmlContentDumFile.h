#pragma once
// Writes and reads the XML content file (root ContentBody, one ContentInfo per record),
// and carries the XML writing technique the hub's own files reuse.
#include "TOVKContEdit/shared/ContentRecord.h"
#include "platform/Path.h"

#include <QDomDocument>
#include <QDomElement>
#include <QString>

class FileReplacement;
class OutputFolder;

class CXmlContentDumFile
{
public:
    // Files larger than this are refused without being read.
    static constexpr qint64 MaxFileSize = 512ll * 1024 * 1024;

    virtual ~CXmlContentDumFile() = default;

    // Saves the author's content file (a link at the path is kept and the file it names is
    // replaced), telling what was written. Shows the error of a failed write (170 or 171)
    // itself; false on any failure.
    bool Save(const QString& path, const ContentRecords& records,
              Path::FileIdentity* written = nullptr);
    // The same for an output `name` in a folder the program was given (the converter's input).
    bool Save(const OutputFolder& folder, const QString& name, const ContentRecords& records);
    // records is cleared first; false for a missing, unreadable, malformed or foreign file.
    bool Load(const QString& path, ContentRecords& records);
    // The same from a file opened already (Path::OpenRegularFile).
    bool Load(const Path::ReadOnlyFile& file, ContentRecords& records);
    // Reads from bytes already in memory (what Load does after reading the file).
    bool LoadBytes(const QByteArray& bytes, ContentRecords& records);
    // The general reader alone, which takes any layout; LoadBytes gives the same result and
    // takes a short way for the layout Save writes.
    bool LoadAnyLayout(const QByteArray& bytes, ContentRecords& records);

    // A DOM document holding only the named root element.
    static QDomDocument CreateDocument(const QString& rootName);
    // The records as a ContentBody document, ready for SaveDocument.
    static QDomDocument BuildDocument(const ContentRecords& records);
    // Writes the document whole as an author's document; on failure error holds the message
    // text, with the system's reason.
    static bool SaveDocument(const QString& path, const QDomDocument& doc, QString& error);
    // SaveDocument of BuildDocument(records), byte for byte, without building the tree.
    static bool SaveRecords(const QString& path, const ContentRecords& records, QString& error,
                            Path::FileIdentity* written = nullptr);
    // New element under parent, with a text node only when text is not empty.
    static QDomElement AddElement(QDomDocument& doc, QDomElement& parent, const QString& name,
                                  const QString& text);
    // Text of the index-th element of that name below element; "" when there is none.
    static QString GetChildText(const QDomElement& element, const QString& name, int index);

private:
    static bool WriteRecords(FileReplacement& file, const ContentRecords& records, QString& error,
                             Path::FileIdentity* written);
};
