#pragma once
// The viewer's options: "-in" (default ".") and "-out" (default "html"), found by exact
// comparison of whole elements; the element after an option is its value. "--help", "-h"
// and "-?" ask for the usage; any other element that starts with '-' and is neither an
// option nor an option's value is an unknown option.
#include <QMap>
#include <QString>
#include <QStringList>

class CFeedbackCommandLine
{
public:
    // arguments[0] is the program name; it is searched like every other element.
    void Parse(const QStringList& arguments);
    bool IsValid() const { return m_valid; }
    bool IsHelp() const { return m_help; }
    // The first unknown option; empty when there is none.
    const QString& UnknownOption() const { return m_unknown; }
    QString GetInFolder() const { return m_options.value(QStringLiteral("-in")); }
    QString GetOutFolder() const { return m_options.value(QStringLiteral("-out")); }

private:
    QMap<QString, QString> m_options;
    bool m_valid = false;
    bool m_help = false;
    QString m_unknown;
};
