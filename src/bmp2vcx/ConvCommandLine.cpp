#include "bmp2vcx/ConvCommandLine.h"

namespace
{
// The program name, "-i", its value, "-o" and its value.
constexpr qsizetype MinimumElements = 5;
} // namespace

void CConvCommandLine::Parse(const QStringList& arguments)
{
    m_options.clear();
    m_guide = false;
    m_valid = false;
    m_help = false;
    m_unknown.clear();
    for (qsizetype i = 1; i < arguments.size(); ++i)
    {
        const QString& element = arguments[i];
        if (element == u"-i" || element == u"-o")
            ++i; // its value, whatever it is
        else if (element == u"--help" || element == u"-h" || element == u"-?")
            m_help = true;
        else if (element.size() > 1 && element.startsWith(u'-') && element != u"-tovkguide" &&
                 m_unknown.isEmpty())
            m_unknown = element;
    }
    if (arguments.size() < MinimumElements)
        return;

    // The first element equal to an option counts, and the element after it is its value,
    // whatever that element is.
    for (const QString& option : {QStringLiteral("-i"), QStringLiteral("-o")})
    {
        const qsizetype at = arguments.indexOf(option);
        if (at >= 0 && at + 1 < arguments.size())
            m_options[option] = arguments[at + 1];
    }
    m_guide = arguments.contains(QStringLiteral("-tovkguide"));
    m_valid = true;
}

QString CConvCommandLine::GetInput() const
{
    return Value(QStringLiteral("-i"));
}

QString CConvCommandLine::GetOutput() const
{
    return Value(QStringLiteral("-o"));
}

QString CConvCommandLine::Value(const QString& option) const
{
    const auto found = m_options.find(option);
    if (found == m_options.end() || found->second.isEmpty())
        return QStringLiteral(".");
    return found->second;
}
