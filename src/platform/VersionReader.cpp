#include "platform/VersionReader.h"

#include "platform/VersionInfo.h"

namespace
{
constexpr unsigned LanguagePairs[] = {0x041104B0, 0x041103A4, 0x040904E4};
}

std::unique_ptr<VersionInfoHandle> ReadVersionInfo()
{
    if (!VersionInfo::IsInstalled())
        return nullptr;
    return std::make_unique<VersionInfoHandle>();
}

bool QueryVersionString(const QString& key, const VersionInfoHandle* block, QString& out)
{
    if (!block)
        return false;
    for (unsigned pair : LanguagePairs)
    {
        QString value;
        if (VersionInfo::Query(key, pair, value))
        {
            out = value;
            return true;
        }
    }
    return false;
}

void FreeVersionInfo(std::unique_ptr<VersionInfoHandle>& block)
{
    block.reset();
}
