#include "tovkfeedbackviewer/FeedbackCommandLine.h"

void CFeedbackCommandLine::Parse(const QStringList& arguments)
{
    m_options.clear();
    m_options.insert(QStringLiteral("-in"), QStringLiteral("."));
    m_options.insert(QStringLiteral("-out"), QStringLiteral("html"));
    for (const QString& option : {QStringLiteral("-in"), QStringLiteral("-out")})
    {
        const qsizetype at = arguments.indexOf(option);
        if (at >= 0 && at + 1 < arguments.size())
            m_options.insert(option, arguments[at + 1]);
    }
    m_valid = !GetInFolder().isEmpty() && !GetOutFolder().isEmpty();
}
