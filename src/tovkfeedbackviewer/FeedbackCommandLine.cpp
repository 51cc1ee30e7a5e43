#include "tovkfeedbackviewer/FeedbackCommandLine.h"

void CFeedbackCommandLine::Parse(const QStringList& arguments)
{
    const QStringList names = {QStringLiteral("-in"), QStringLiteral("-out")};
    m_options.clear();
    m_options.insert(QStringLiteral("-in"), QStringLiteral("."));
    m_options.insert(QStringLiteral("-out"), QStringLiteral("html"));
    for (const QString& option : names)
    {
        const qsizetype at = arguments.indexOf(option);
        if (at >= 0 && at + 1 < arguments.size())
            m_options.insert(option, arguments[at + 1]);
    }
    m_valid = !GetInFolder().isEmpty() && !GetOutFolder().isEmpty();

    m_help = false;
    m_unknown.clear();
    for (qsizetype i = 1; i < arguments.size(); ++i)
    {
        const QString& element = arguments[i];
        if (names.contains(element))
        {
            ++i; // its value, whatever it is
            continue;
        }
        if (element == u"--help" || element == u"-h" || element == u"-?")
            m_help = true;
        else if (element.size() > 1 && element.startsWith(u'-') && m_unknown.isEmpty())
            m_unknown = element;
    }
}
