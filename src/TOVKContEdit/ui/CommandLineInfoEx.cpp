#include "TOVKContEdit/ui/CommandLineInfoEx.h"

#include "TOVKContEdit/res/resource.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"

void CCommandLineInfo::ParseParam(const QString& param, bool isFlag, bool isLast)
{
    Q_UNUSED(isLast);
    if (isFlag || !m_strFileName.isEmpty())
        return;
    m_strFileName = param;
    m_nShellCommand = FileOpen;
}

void CCommandLineInfoEx::ParseParam(const QString& param, bool isFlag, bool isLast)
{
    if (m_bFolderExpected)
    {
        m_bFolderExpected = false;
        if (isFlag)
            AfxMessageBox(Strings::Load(IDS_FOLDER_SWITCH_WITHOUT_FOLDER), MB_OK | MB_ICONERROR);
        else
            m_strFolder = param;
        return;
    }
    if (isFlag && param == QStringLiteral("d"))
    {
        m_bFolderExpected = true;
        return;
    }
    CCommandLineInfo::ParseParam(param, isFlag, isLast);
}

bool IsCommandLineSwitch(const QString& element)
{
    if (element.startsWith(u'-'))
        return true;
    if (!element.startsWith(u'/'))
        return false;
    return element.indexOf(u'/', 1) < 0 && !Path::FileExists(element);
}

void ParseCommandLine(const QStringList& arguments, CCommandLineInfo& info)
{
    for (qsizetype i = 0; i < arguments.size(); ++i)
    {
        const QString& element = arguments.at(i);
        const bool isFlag = IsCommandLineSwitch(element);
        info.ParseParam(isFlag ? element.mid(1) : element, isFlag, i + 1 == arguments.size());
    }
}
