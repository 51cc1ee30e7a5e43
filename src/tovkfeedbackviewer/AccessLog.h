#pragma once
// The access log: the merged table of works and the time-ordered accesses of all log
// files, and their XML and CSV reports.
#include "tovkfeedbackviewer/DatFile.h"

#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

using CDescriptions = std::array<QString, Dat::LanguageCount>;

struct CWorkInfo
{
    std::int32_t guideNumber = 0;
    std::int32_t workNumber = 0;
    CDescriptions descriptions;
};

struct CAccessInfo
{
    DatRecord record;
    std::int32_t workNumber = 0;
    // The nine descriptions, held once per distinct set by the log (CAccessLog::Descriptions).
    std::uint32_t descriptions = 0;
};

class CAccessLog
{
public:
    CAccessLog();
    void AddWork(unsigned language, std::int32_t workNumber, std::int32_t guideNumber,
                 const QString& description);
    // Time order, later arrivals after earlier ones of the same time; an access equal to one
    // of the same time in record bytes, work number and descriptions is dropped.
    void AddAccess(const CAccessInfo& access);
    // The handle of a description set for CAccessInfo::descriptions.
    std::uint32_t InternDescriptions(const CDescriptions& descriptions);
    const CDescriptions& Descriptions(const CAccessInfo& access) const
    {
        return m_descriptionSets[access.descriptions];
    }

    std::vector<CWorkInfo> Works() const;
    const std::vector<CAccessInfo>& Accesses() const;
    int LanguageCount() const { return m_languageCount; }
    void Clear();

    bool WriteLogXml(const QString& path) const;
    bool WriteLogCsv(const QString& path) const;

private:
    std::map<std::pair<std::int32_t, std::int32_t>, CDescriptions> m_works;
    mutable std::vector<CAccessInfo> m_accesses;
    mutable bool m_ordered = true;
    std::array<bool, Dat::LanguageCount> m_present{};
    int m_languageCount = 0;
    std::vector<CDescriptions> m_descriptionSets;
    QHash<QString, std::uint32_t> m_descriptionIndex;
};

extern CAccessLog g_accessLog;

// Registers the works of a log file, then its accesses.
void ExtractLogRecords(const CDatFileImage& image, CAccessLog& log = g_accessLog);
