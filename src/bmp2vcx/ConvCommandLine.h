#pragma once
// The converter's options: "-i" input picture, "-o" output folder, "-tovkguide" guide mode.
// "--help", "-h" and "-?" ask for the usage; any other element that starts with '-' and is
// neither an option nor an option's value is an unknown option.
#include <QString>
#include <QStringList>
#include <map>

class CConvCommandLine
{
public:
    // The elements as the program got them, its own name first.
    void Parse(const QStringList& arguments);

    // "." when the option is missing or empty.
    QString GetInput() const;
    QString GetOutput() const;

    bool IsValid() const { return m_valid; }
    bool IsGuide() const { return m_guide; }
    bool IsHelp() const { return m_help; }
    // The first unknown option; empty when there is none.
    const QString& UnknownOption() const { return m_unknown; }

private:
    QString Value(const QString& option) const;

    std::map<QString, QString> m_options;
    bool m_valid = false;
    bool m_guide = false;
    bool m_help = false;
    QString m_unknown;
};
