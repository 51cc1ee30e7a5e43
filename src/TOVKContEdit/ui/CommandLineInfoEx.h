#pragma once
// The command line of the content editor: "-d" (or "/d") with the project's convert
// folder, then optionally the content file to open.
#include <QString>
#include <QStringList>

// The framework's parser: a switch is an element beginning with '-' or '/' (passed on
// without that character); the first plain element is the file to open.
class CCommandLineInfo
{
public:
    enum ShellCommand
    {
        FileNew,
        FileOpen,
        FileNothing,
    };

    virtual ~CCommandLineInfo() = default;
    virtual void ParseParam(const QString& param, bool isFlag, bool isLast);

    ShellCommand m_nShellCommand = FileNew;
    QString m_strFileName;
};

class CCommandLineInfoEx : public CCommandLineInfo
{
public:
    void ParseParam(const QString& param, bool isFlag, bool isLast) override;

    bool m_bFolderExpected = false;
    QString m_strFolder;
};

// True when the element is a switch. '-' always starts one; '/' only when the rest holds no
// further '/' and names nothing that exists, so absolute paths stay plain parameters.
bool IsCommandLineSwitch(const QString& element);

// Feeds every element (without the program name) to info.ParseParam.
void ParseCommandLine(const QStringList& arguments, CCommandLineInfo& info);
