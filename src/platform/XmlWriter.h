#pragma once
// The one XML writing technique of the system: UTF-16LE with BOM, the declaration
// <?xml version="1.0" encoding="UTF-16" standalone="no"?>, one element per line, TAB
// indentation by depth, CR LF line ends, text escaped, an empty element as <name/>.
// Characters that XML 1.0 cannot carry are written as U+FFFD, so the file always loads.
#include <QByteArray>
#include <QDomDocument>
#include <QString>

namespace XmlWriter
{
// The text of the document without BOM (lines end with CR LF).
QString SerializeText(const QDomDocument& doc);
// The bytes written to a file: BOM + UTF-16LE of SerializeText.
QByteArray Serialize(const QDomDocument& doc);
// Writes atomically; false (with the reason in error) leaves an old file whole.
bool Save(const QDomDocument& doc, const QString& path, QString* error = nullptr);

// Replaces what XML 1.0 cannot carry (control characters other than TAB, CR, LF; lone
// surrogates; U+FFFE, U+FFFF) with U+FFFD.
QString ReplaceInvalidXmlChars(const QString& text);
bool HasInvalidXmlChars(const QString& text);
} // namespace XmlWriter
