#pragma once
// The one XML writing technique of the system: UTF-16LE with BOM, the declaration
// <?xml version="1.0" encoding="UTF-16" standalone="no"?>, one element per line, TAB
// indentation by depth, CR LF line ends, text escaped, an empty element as <name/>.
// Characters that XML 1.0 cannot carry are written as U+FFFD, so the file always loads.
#include <QByteArray>
#include <QDomDocument>
#include <QString>
#include <QStringView>
#include <memory>

namespace XmlWriter
{
class Buffer;

// The same bytes as Serialize, written element by element without a DOM: for files of
// many records, where building the tree costs far more than the text. Elements are written
// in document order; the bytes can be taken out in pieces as they grow.
class Stream
{
public:
    Stream(); // the BOM and the declaration line
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // An element with child elements: "<tag>" and "</tag>", each on its own line.
    void Open(int depth, QStringView tag);
    void Close(int depth, QStringView tag);
    // An element holding only text: "<tag>text</tag>", or "<tag/>" when the text is empty.
    void Leaf(int depth, QStringView tag, QStringView text);
    // Pieces of a line for callers that lay out many alike elements themselves: markup as it
    // stands (well-formed, nothing to escape), and element text escaped as Leaf escapes it.
    void Markup(QStringView markup);
    void Text(QStringView text);
    // Room for this many more bytes, so a large file grows in one step.
    void Reserve(qsizetype bytes);
    // Where up to `units` more units may be written in place, as the machine holds them;
    // Commit(end) keeps those before end. For text that needs no escaping (CopyPlainText).
    char16_t* Room(qsizetype units);
    void Commit(const char16_t* end);

    // The bytes written since the last Clear.
    const char* Data() const;
    qsizetype Size() const;
    void Clear();

private:
    std::unique_ptr<Buffer> m_buffer;
};

// The text of the document without BOM (lines end with CR LF).
QString SerializeText(const QDomDocument& doc);
// The bytes written to a file: BOM + UTF-16LE of SerializeText.
QByteArray Serialize(const QDomDocument& doc);
// Replaces the output file whole (ReplaceFile); false (with the reason in error) leaves an
// old file whole.
bool Save(const QDomDocument& doc, const QString& path, QString* error = nullptr);

// Copies the text to `to` (room for text.size() units, in the machine's order) and tells
// whether element text is written just so: nothing to escape or replace.
bool CopyPlainText(QStringView text, char16_t* to);

// Replaces what XML 1.0 cannot carry (control characters other than TAB, CR, LF; lone
// surrogates; U+FFFE, U+FFFF) with U+FFFD.
QString ReplaceInvalidXmlChars(const QString& text);
bool HasInvalidXmlChars(const QString& text);
} // namespace XmlWriter
