#pragma once
// Writes and reads the XML content file (root ContentBody, one ContentInfo per record),
// and carries the XML writing technique the hub's own files reuse.
#include "TOVKContEdit/shared/ContentRecord.h"

#include <QDomDocument>
#include <QDomElement>
#include <QString>

class CXmlContentDumFile
{
public:
    // Files larger than this are refused without being read.
    static constexpr qint64 MaxFileSize = 512ll * 1024 * 1024;

    virtual ~CXmlContentDumFile() = default;

    // Shows the error of a failed write (170 or 171) itself; false on any failure.
    bool Save(const QString& path, const ContentRecords& records);
    // records is cleared first; false for a missing, unreadable, malformed or foreign file.
    bool Load(const QString& path, ContentRecords& records);
    // Reads from bytes already in memory (what Load does after reading the file).
    bool LoadBytes(const QByteArray& bytes, ContentRecords& records);
    // The general reader alone, which takes any layout; LoadBytes gives the same result and
    // takes a short way for the layout Save writes.
    bool LoadAnyLayout(const QByteArray& bytes, ContentRecords& records);

    // A DOM document holding only the named root element.
    static QDomDocument CreateDocument(const QString& rootName);
    // The records as a ContentBody document, ready for SaveDocument.
    static QDomDocument BuildDocument(const ContentRecords& records);
    // Writes the document atomically; on failure error holds the message text.
    static bool SaveDocument(const QString& path, const QDomDocument& doc, QString& error);
    // SaveDocument of BuildDocument(records), byte for byte, without building the tree.
    static bool SaveRecords(const QString& path, const ContentRecords& records, QString& error);
    // New element under parent, with a text node only when text is not empty.
    static QDomElement AddElement(QDomDocument& doc, QDomElement& parent, const QString& name,
                                  const QString& text);
    // Text of the index-th element of that name below element; "" when there is none.
    static QString GetChildText(const QDomElement& element, const QString& name, int index);
};
