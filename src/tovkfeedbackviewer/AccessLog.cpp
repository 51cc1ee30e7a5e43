#include "tovkfeedbackviewer/AccessLog.h"

#include "tovkfeedbackviewer/OrderRecords.h"
#include "tovkfeedbackviewer/ReportFile.h"
#include "tovkfeedbackviewer/Resource.h"
#include "tovkfeedbackviewer/Text.h"

#include <tuple>

CAccessLog g_accessLog;

namespace
{
constexpr unsigned GuideCount = 1024; // a record's guide field has 10 bits

QString Description(const std::uint8_t* entry)
{
    return ReadFixedText(entry + Dat::WorkDescriptionOffset, Dat::DescriptionLength);
}
} // namespace

CAccessLog::CAccessLog()
{
    Clear();
}

void CAccessLog::Clear()
{
    m_works.clear();
    m_accesses.clear();
    m_ordered = true;
    m_present.fill(false);
    m_languageCount = 0;
    m_descriptionSets.clear();
    m_descriptionIndex.clear();
    InternDescriptions(CDescriptions{});
}

void CAccessLog::AddWork(unsigned language, std::int32_t workNumber, std::int32_t guideNumber,
                         const QString& description)
{
    if (language >= Dat::LanguageCount)
        return;
    if (!m_present[language])
    {
        m_present[language] = true;
        ++m_languageCount;
    }
    m_works[{workNumber, guideNumber}][language] = description;
}

std::uint32_t CAccessLog::InternDescriptions(const CDescriptions& descriptions)
{
    QString key;
    for (const QString& text : descriptions)
    {
        key += text;
        key += QChar(0); // texts end at a NUL, so it cannot occur inside one
    }
    const auto found = m_descriptionIndex.constFind(key);
    if (found != m_descriptionIndex.constEnd())
        return found.value();
    const auto handle = static_cast<std::uint32_t>(m_descriptionSets.size());
    m_descriptionSets.push_back(descriptions);
    m_descriptionIndex.insert(key, handle);
    return handle;
}

void CAccessLog::AddAccess(const CAccessInfo& access)
{
    if (m_ordered && !m_accesses.empty() &&
        TimeKey(access.record.PackedTime()) <= TimeKey(m_accesses.back().record.PackedTime()))
        m_ordered = false;
    m_accesses.push_back(access);
}

const std::vector<CAccessInfo>& CAccessLog::Accesses() const
{
    if (!m_ordered)
    {
        OrderRecords(
            m_accesses, [](const CAccessInfo& access) { return access.record.PackedTime(); },
            [](const CAccessInfo& a, const CAccessInfo& b)
            {
                return std::tie(a.record.bytes, a.workNumber, a.descriptions) <
                       std::tie(b.record.bytes, b.workNumber, b.descriptions);
            });
        m_ordered = true;
    }
    return m_accesses;
}

std::vector<CWorkInfo> CAccessLog::Works() const
{
    std::vector<CWorkInfo> works;
    works.reserve(m_works.size());
    for (const auto& [key, descriptions] : m_works)
        works.push_back({key.second, key.first, descriptions});
    return works;
}

void ExtractLogRecords(const CDatFileImage& image, CAccessLog& log)
{
    const std::uint8_t* area = image.DefinitionArea(KindLog);
    if (!area)
        return;

    for (int i = 0; i < Dat::WorkEntryCount; ++i)
    {
        const std::uint8_t* entry = area + Dat::WorkEntrySize * static_cast<std::size_t>(i);
        if (HeaderKind(entry) != KindLog)
            continue;
        log.AddWork(HeaderLanguage(entry),
                    static_cast<std::int32_t>(ReadU32(entry + Dat::WorkNumberOffset)),
                    ReadU16(entry + Dat::WorkGuideOffset), Description(entry));
    }

    const std::size_t count = image.RecordCount();
    if (count == 0)
        return;
    // Per guide number of this file: the first entry of each language and the handle of
    // their descriptions, looked up once.
    struct GuideEntries
    {
        bool known = false;
        std::array<const std::uint8_t*, Dat::LanguageCount> entries{};
        std::uint32_t descriptions = 0;
    };
    std::vector<GuideEntries> guides(GuideCount);
    for (std::size_t i = 0; i < count; ++i)
    {
        CAccessInfo access;
        access.record = image.Record(i);
        const DatRecord& record = access.record;
        if (record.Kind() != KindLog)
            continue;
        const unsigned language = record.Language();
        if (language >= Dat::LanguageCount)
            continue; // no work entry of such a language is registered
        GuideEntries& guide = guides[record.Guide()];
        if (!guide.known)
        {
            guide.known = true;
            CDescriptions descriptions;
            for (unsigned l = 0; l < Dat::LanguageCount; ++l)
            {
                guide.entries[l] = FindWorkEntry(record.Guide(), area, l);
                if (guide.entries[l])
                    descriptions[l] = Description(guide.entries[l]);
            }
            guide.descriptions = log.InternDescriptions(descriptions);
        }
        const std::uint8_t* entry = guide.entries[language];
        if (!entry)
            continue;
        access.workNumber = static_cast<std::int32_t>(ReadU32(entry + Dat::WorkNumberOffset));
        access.descriptions = guide.descriptions;
        log.AddAccess(access);
    }
}

bool CAccessLog::WriteLogXml(const QString& path) const
{
    if (m_accesses.empty())
        return false;
    const std::vector<CAccessInfo>& accesses = Accesses();
    const std::array<QString, 16> names = GetLanguageNames();

    CReportFile file(path, CReportFile::WithScript);
    file.WriteBom();
    file.Line(0, u"<?xml version=\"1.0\"?>");
    file.Line(0, u"<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>");
    file.Line(0, u"<table>");
    QString& text = file.Text();
    text += QLatin1StringView("\t<langs num=\"");
    AppendNumber(text, m_languageCount);
    text += QLatin1StringView("\" />\r\n");

    const auto appendInfos = [&](const CDescriptions& descriptions)
    {
        for (unsigned l = 0; l < Dat::LanguageCount; ++l)
        {
            if (!m_present[l] || descriptions[l].isEmpty())
                continue;
            text += QLatin1StringView("\t\t<info lang=\"");
            text += names[l];
            text += QLatin1StringView("\">");
            AppendEscapedXml(text, descriptions[l]);
            text += QLatin1StringView("</info>\r\n");
        }
    };

    long long n = 0;
    for (const auto& [key, descriptions] : m_works)
    {
        text += QLatin1StringView("\t<no_list no=\"");
        AppendNumber(text, ++n);
        text += QLatin1StringView("\">\r\n\t\t<sakuhinno>");
        AppendNumber(text, key.first);
        text += QLatin1StringView("</sakuhinno>\r\n\t\t<guideno>");
        AppendNumber(text, key.second);
        text += QLatin1StringView("</guideno>\r\n");
        appendInfos(descriptions);
        text += QLatin1StringView("\t</no_list>\r\n");
        file.FlushIfLarge();
    }
    n = 0;
    for (const CAccessInfo& access : accesses)
    {
        const DatRecord& record = access.record;
        AppendXmlRecordStart(text, ++n, record.PackedTime(), record.Mac(),
                             names[record.Language()]);
        text += QLatin1StringView("\t\t<sakuhinno>");
        AppendNumber(text, access.workNumber);
        text += QLatin1StringView("</sakuhinno>\r\n\t\t<guideno>");
        AppendNumber(text, record.Guide());
        text += QLatin1StringView("</guideno>\r\n");
        appendInfos(Descriptions(access));
        text += QLatin1StringView("\t</table_data>\r\n");
        file.FlushIfLarge();
    }
    file.Line(0, u"</table>");
    file.Close();
    return true;
}

bool CAccessLog::WriteLogCsv(const QString& path) const
{
    if (m_accesses.empty())
        return false;
    const std::vector<CAccessInfo>& accesses = Accesses();
    const std::array<QString, 16> names = GetLanguageNames();

    CReportFile file(path);
    file.WriteBom();
    QString& text = file.Text();
    const auto appendDescriptions = [&](QString& line, const CDescriptions& descriptions)
    {
        for (unsigned l = 0; l < Dat::LanguageCount; ++l)
        {
            if (m_present[l])
                AppendCsvField(line, descriptions[l]);
        }
    };

    QString line;
    for (int i = 0; i < 4; ++i)
        AppendCsvField(line, {});
    for (const unsigned id : {IDS_SAKUHIN_NO, IDS_GUIDE_NO, IDS_INFO})
        AppendCsvField(line, LoadViewerString(id));
    AppendLineEnd(line);
    text += line;
    QString number;
    for (const auto& [key, descriptions] : m_works)
    {
        line.clear();
        for (int i = 0; i < 4; ++i)
            AppendCsvField(line, {});
        number.clear();
        AppendNumber(number, key.first);
        AppendCsvField(line, number);
        number.clear();
        AppendNumber(number, key.second);
        AppendCsvField(line, number);
        appendDescriptions(line, descriptions);
        AppendLineEnd(line);
        text += line;
        file.FlushIfLarge();
    }

    line.clear();
    for (const unsigned id :
         {IDS_DATE, IDS_TIME, IDS_MAC, IDS_LANGUAGE, IDS_SAKUHIN_NO, IDS_GUIDE_NO, IDS_INFO})
        AppendCsvField(line, LoadViewerString(id));
    AppendLineEnd(line);
    text += line;
    for (const CAccessInfo& access : accesses)
    {
        const DatRecord& record = access.record;
        AppendCsvRecordStart(text, record.PackedTime(), record.Mac(), names[record.Language()]);
        text += QLatin1StringView("\t\"");
        AppendNumber(text, access.workNumber);
        text += QLatin1StringView("\"\t\"");
        AppendNumber(text, record.Guide());
        text += u'"';
        const CDescriptions& descriptions = Descriptions(access);
        for (unsigned l = 0; l < Dat::LanguageCount; ++l)
        {
            if (!m_present[l])
                continue;
            text += QLatin1StringView("\t\"");
            AppendEscapedCsv(text, descriptions[l]);
            text += u'"';
        }
        text += QLatin1StringView("\r\n");
        file.FlushIfLarge();
    }
    file.Close();
    return true;
}
