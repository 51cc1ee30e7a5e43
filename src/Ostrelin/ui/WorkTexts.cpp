#include "Ostrelin/ui/WorkTexts.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/res/resource.h"
#include "platform/Strings.h"

#include <QStringList>

QString WorkDescription(const CBindData& data, const CWork* work)
{
    if (work == nullptr)
        return {};
    const unsigned both = data.m_wGuideLanguages & work->m_wLanguages;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        if (both & (1u << i))
            return work->m_strDescription[std::size_t(i)];
    }
    return {};
}

QString GuideEntryNote(const CBindData& data, const CGuideEntry& entry)
{
    const CWork* work = data.FindWork(entry.m_nWorkNo);
    if (entry.m_wError == 0)
        return WorkDescription(data, work);
    if ((entry.m_wError & 1) == 0)
        return {};
    if (work == nullptr)
        return Strings::Load(IDS_WORK_NOT_LOADED);
    QStringList missing;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        const unsigned bit = 1u << i;
        if ((data.m_wGuideLanguages & bit) && !(work->m_wLanguages & bit))
            missing << GetLanguageName(i);
    }
    return FormatString(IDS_WORK_LANGUAGES_MISSING,
                        {missing.join(Strings::Load(IDS_LANGUAGE_SEPARATOR))});
}

QString NumberText(qint64 value)
{
    return QString::number(value);
}
