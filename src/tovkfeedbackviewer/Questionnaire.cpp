#include "tovkfeedbackviewer/Questionnaire.h"

#include "tovkfeedbackviewer/OrderRecords.h"
#include "tovkfeedbackviewer/ReportFile.h"
#include "tovkfeedbackviewer/Resource.h"
#include "tovkfeedbackviewer/Text.h"

#include <algorithm>
#include <cstring>
#include <numeric>

CQuestionnaireList g_questionnaires;

namespace
{
// Position q's answer texts and flag, from a questionnaire entry.
QString QuestionText(const std::uint8_t* block)
{
    return ReadFixedText(block + Dat::QuestionTextOffset, Dat::QuestionTextLength);
}

QString AnswerText(const std::uint8_t* block, int answer)
{
    return ReadFixedText(block + Dat::AnswerTextsOffset +
                             Dat::AnswerTextSize * static_cast<std::size_t>(answer),
                         Dat::AnswerTextLength);
}
} // namespace

void CQuestionnaire::Init(const std::uint8_t* area)
{
    m_area.assign(area, area + Dat::DefinitionSize);
    m_records.clear();
    m_ordered = true;
    m_languageCount = 0;
    m_maxAnswers.fill(0);
    for (unsigned language = 0; language < Dat::LanguageCount; ++language)
    {
        const std::uint8_t* entry = FindQuestionnaireEntry(area, language);
        if (!entry)
            continue;
        ++m_languageCount;
        const int questions = QuestionCount(entry);
        for (int q = 0; q < questions; ++q)
            m_maxAnswers[static_cast<std::size_t>(q)] = std::max(
                m_maxAnswers[static_cast<std::size_t>(q)], ::AnswerCount(QuestionBlock(entry, q)));
    }
}

void CQuestionnaire::AddAnswer(const DatRecord& record)
{
    if (m_ordered && !m_records.empty() &&
        TimeKey(record.PackedTime()) < TimeKey(m_records.back().PackedTime()))
        m_ordered = false;
    if (m_ordered && !m_records.empty() &&
        TimeKey(record.PackedTime()) == TimeKey(m_records.back().PackedTime()))
        m_ordered = false; // an equal time may hide a duplicate
    m_records.push_back(record);
}

const std::vector<DatRecord>& CQuestionnaire::Answers() const
{
    if (!m_ordered)
    {
        OrderRecords(
            m_records, [](const DatRecord& record) { return record.PackedTime(); },
            [](const DatRecord& a, const DatRecord& b) { return a.bytes < b.bytes; });
        m_ordered = true;
    }
    return m_records;
}

bool CQuestionnaireList::AreaLess::operator()(const std::uint8_t* a, const std::uint8_t* b) const
{
    return std::memcmp(a, b, Dat::DefinitionSize) < 0;
}

CQuestionnaire& CQuestionnaireList::FindOrAddQuestionnaire(const std::uint8_t* area)
{
    // Only a new area is added, so at most one held area equals it.
    if (const auto found = m_byArea.find(area); found != m_byArea.end())
        return *m_items[found->second];
    auto questionnaire = std::make_unique<CQuestionnaire>();
    questionnaire->Init(area);
    m_byArea.emplace(questionnaire->Area(), m_items.size());
    m_items.push_back(std::move(questionnaire));
    return *m_items.back();
}

void CQuestionnaireList::Clear()
{
    m_byArea.clear();
    m_items.clear();
}

int CQuestionnaireList::WriteAllEnqXml(const QString& prefix) const
{
    return WriteEach(prefix, QLatin1StringView(".xml"), WriteEnqXml);
}

int CQuestionnaireList::WriteAllEnqCsv(const QString& prefix) const
{
    return WriteEach(prefix, QLatin1StringView(".csv"), WriteEnqCsv);
}

int CQuestionnaireList::WriteEach(const QString& prefix, QLatin1StringView extension,
                                  bool (*write)(const QString&, const CQuestionnaire&)) const
{
    int written = 0;
    for (const auto& questionnaire : m_items)
    {
        QString path = prefix;
        AppendTwoDigits(path, static_cast<unsigned>(written));
        path += extension;
        if (write(path, *questionnaire))
            ++written;
    }
    return written;
}

void ExtractEnqRecords(const CDatFileImage& image, CQuestionnaireList& list)
{
    const std::uint8_t* area = image.DefinitionArea(KindEnq);
    if (!area)
        return;
    CQuestionnaire* questionnaire = nullptr;
    const std::size_t count = image.RecordCount();
    for (std::size_t i = 0; i < count; ++i)
    {
        const DatRecord record = image.Record(i);
        if (record.Kind() != KindEnqAnswer)
            continue;
        if (!questionnaire)
            questionnaire = &list.FindOrAddQuestionnaire(area);
        questionnaire->AddAnswer(record);
    }
}

bool WriteEnqXml(const QString& path, const CQuestionnaire& questionnaire)
{
    if (questionnaire.AnswerCount() == 0)
        return false;
    const std::vector<DatRecord>& answers = questionnaire.Answers();
    const std::uint8_t* area = questionnaire.Area();

    CReportFile file(path, CReportFile::WithScript);
    file.WriteBom();
    file.Line(0, u"<?xml version=\"1.0\"?>");
    file.Line(0, u"<?xml-stylesheet type=\"text/xsl\" href=\"enq.xsl\"?>");
    file.Line(0, u"<table>");
    QString& text = file.Text();
    text += QLatin1StringView("\t<langs num=\"");
    AppendNumber(text, questionnaire.LanguageCount());
    text += QLatin1StringView("\" />\r\n");
    file.Line(1, u"<table_header>");
    for (unsigned language = 0; language < Dat::LanguageCount; ++language)
    {
        const std::uint8_t* entry = FindQuestionnaireEntry(area, language);
        if (!entry)
            continue;
        const QString name = GetLanguageName(language);
        const int questions = QuestionCount(entry);
        for (int q = 0; q < questions; ++q)
        {
            const std::uint8_t* block = QuestionBlock(entry, q);
            text += QLatin1StringView("\t\t<enq lang=\"");
            text += name;
            text += QLatin1StringView("\" no=\"");
            AppendNumber(text, q + 1);
            text += QLatin1StringView("\">\r\n");
            file.Line(3, block[0] ? u"<type>Multi</type>" : u"<type>Single</type>");
            text += QLatin1StringView("\t\t\t<query>");
            AppendEscapedXml(text, QuestionText(block));
            text += QLatin1StringView("</query>\r\n");
            const int answersOfQuestion = ::AnswerCount(block);
            for (int v = 0; v < answersOfQuestion; ++v)
            {
                text += QLatin1StringView("\t\t\t<ans no=\"");
                AppendNumber(text, v + 1);
                text += QLatin1StringView("\">");
                AppendEscapedXml(text, AnswerText(block, v));
                text += QLatin1StringView("</ans>\r\n");
            }
            file.Line(2, u"</enq>");
        }
    }
    file.Line(1, u"</table_header>");

    // Each used question position with its answer count, and the language names.
    std::vector<int> used;
    for (int q = 0; q < Dat::MaxQuestions; ++q)
    {
        if (questionnaire.MaxAnswers(q) > 0)
            used.push_back(q);
    }
    const std::array<QString, 16> names = GetLanguageNames();

    long long n = 0;
    for (const DatRecord& record : answers)
    {
        AppendXmlRecordStart(text, ++n, record.PackedTime(), record.Mac(),
                             names[record.Language()]);
        for (const int q : used)
        {
            const unsigned value = record.AnswerByte(q);
            text += QLatin1StringView("\t\t<enq no=\"");
            AppendNumber(text, q + 1);
            text += QLatin1StringView("\" value=\"");
            AppendHexByte(text, value);
            text += QLatin1StringView("\">\r\n");
            const int answerCount = questionnaire.MaxAnswers(q);
            for (int k = 0; k < answerCount; ++k)
            {
                text += QLatin1StringView("\t\t\t<ans no=\"");
                AppendNumber(text, k + 1);
                text += (value >> k) & 1 ? QLatin1StringView("\" value=\"1\"/>\r\n")
                                         : QLatin1StringView("\" value=\"0\"/>\r\n");
            }
            text += QLatin1StringView("\t\t</enq>\r\n");
        }
        text += QLatin1StringView("\t</table_data>\r\n");
        file.FlushIfLarge();
    }
    file.Line(0, u"</table>");
    file.Close();
    return true;
}

bool WriteEnqCsv(const QString& path, const CQuestionnaire& questionnaire)
{
    if (questionnaire.AnswerCount() == 0)
        return false;
    const std::vector<DatRecord>& answers = questionnaire.Answers();
    const std::uint8_t* area = questionnaire.Area();

    std::vector<int> used;
    int answerColumns = 0;
    for (int q = 0; q < Dat::MaxQuestions; ++q)
    {
        if (questionnaire.MaxAnswers(q) > 0)
        {
            used.push_back(q);
            answerColumns += questionnaire.MaxAnswers(q);
        }
    }

    CReportFile file(path);
    file.WriteBom();
    QString& text = file.Text();
    for (unsigned language = 0; language < Dat::LanguageCount; ++language)
    {
        const std::uint8_t* entry = FindQuestionnaireEntry(area, language);
        if (!entry)
            continue;
        QString line;
        for (int i = 0; i < 3; ++i)
            AppendCsvField(line, {});
        AppendCsvField(line, GetLanguageName(language));
        for (const int q : used)
        {
            AppendCsvField(line, QuestionText(QuestionBlock(entry, q)));
            for (int k = 1; k < questionnaire.MaxAnswers(q); ++k)
                AppendCsvField(line, {});
        }
        AppendLineEnd(line);
        text += line;

        QString answersLine;
        for (int i = 0; i < 4; ++i)
            AppendCsvField(answersLine, {});
        for (const int q : used)
        {
            const std::uint8_t* block = QuestionBlock(entry, q);
            for (int k = 0; k < questionnaire.MaxAnswers(q); ++k)
                AppendCsvField(answersLine, AnswerText(block, k));
        }
        AppendLineEnd(answersLine);
        text += answersLine;
    }

    QString header;
    for (const unsigned id : {IDS_DATE, IDS_TIME, IDS_MAC, IDS_LANGUAGE})
        AppendCsvField(header, LoadViewerString(id));
    for (int i = 0; i < answerColumns; ++i)
        AppendCsvField(header, {});
    AppendLineEnd(header);
    text += header;

    const std::array<QString, 16> names = GetLanguageNames();
    for (const DatRecord& record : answers)
    {
        AppendCsvRecordStart(text, record.PackedTime(), record.Mac(), names[record.Language()]);
        for (const int q : used)
        {
            const unsigned value = record.AnswerByte(q);
            for (int k = 0; k < questionnaire.MaxAnswers(q); ++k)
            {
                if ((value >> k) & 1)
                    text += QStringView(u"\t\"\u25CB\"");
                else
                    text += QLatin1StringView("\t\"\"");
            }
        }
        text += QLatin1StringView("\r\n");
        file.FlushIfLarge();
    }
    file.Close();
    return true;
}
