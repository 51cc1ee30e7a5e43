#include "platform/VersionInfo.h"

namespace
{
const VersionBlock* g_block = nullptr;
}

void VersionInfo::Install(const VersionBlock* block)
{
    g_block = block;
}

bool VersionInfo::IsInstalled()
{
    return g_block != nullptr;
}

QString VersionInfo::SubBlock(const QString& key, unsigned langCodePage)
{
    const QString code = QString::number(langCodePage, 16).toUpper().rightJustified(8, u'0');
    return QStringLiteral("\\StringFileInfo\\") + code + u'\\' + key;
}

bool VersionInfo::Query(const QString& key, unsigned langCodePage, QString& value)
{
    if (!g_block)
        return false;
    for (std::size_t l = 0; l < g_block->count; ++l)
    {
        const VersionLanguage& language = g_block->languages[l];
        if (language.langCodePage != langCodePage)
            continue;
        for (std::size_t s = 0; s < language.count; ++s)
        {
            const VersionString& entry = language.strings[s];
            // Keys compare like the original's resource lookup: ignoring case.
            if (entry.key && QString::fromUtf16(entry.key).compare(key, Qt::CaseInsensitive) == 0)
            {
                value = entry.value ? QString::fromUtf16(entry.value) : QString();
                return true;
            }
        }
    }
    return false;
}
