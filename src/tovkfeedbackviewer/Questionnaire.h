#pragma once
// Questionnaire answers merged per distinct definition area, and their XML and CSV reports.
#include "tovkfeedbackviewer/DatFile.h"

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class CQuestionnaire
{
public:
    void Init(const std::uint8_t* area);
    // Keeps the answers in time order, later arrivals after earlier ones of the same time;
    // a record byte-identical to one already held is dropped.
    void AddAnswer(const DatRecord& record);

    const std::uint8_t* Area() const { return m_area.data(); }
    int LanguageCount() const { return m_languageCount; }
    int MaxAnswers(int question) const { return m_maxAnswers[static_cast<std::size_t>(question)]; }
    // The answers in their report order.
    const std::vector<DatRecord>& Answers() const;
    std::size_t AnswerCount() const { return m_records.size(); }

private:
    std::vector<std::uint8_t> m_area;
    int m_languageCount = 0;
    std::array<int, Dat::MaxQuestions> m_maxAnswers{};
    // Records in arrival order; sorted into time order (dropping duplicates) on first use.
    mutable std::vector<DatRecord> m_records;
    mutable bool m_ordered = true;
};

class CQuestionnaireList
{
public:
    // The questionnaire whose area is byte-identical to this one, else a new one at the end.
    CQuestionnaire& FindOrAddQuestionnaire(const std::uint8_t* area);
    std::size_t Count() const { return m_items.size(); }
    const CQuestionnaire& At(std::size_t index) const { return *m_items[index]; }
    void Clear();

    // prefix + "NN.xml" / "NN.csv" for each questionnaire with answers; the count written.
    int WriteAllEnqXml(const QString& prefix) const;
    int WriteAllEnqCsv(const QString& prefix) const;

private:
    int WriteEach(const QString& prefix, QLatin1StringView extension,
                  bool (*write)(const QString&, const CQuestionnaire&)) const;

    // Areas in byte order: a lookup costs O(log N) comparisons of one area's bytes, whatever
    // the areas hold (a hash over them could be made to collide by a card's unread bytes).
    struct AreaLess
    {
        bool operator()(const std::uint8_t* a, const std::uint8_t* b) const;
    };

    std::vector<std::unique_ptr<CQuestionnaire>> m_items;
    std::map<const std::uint8_t*, std::size_t, AreaLess> m_byArea; // keys are the items' areas
};

extern CQuestionnaireList g_questionnaires;

// Adds every answer record of a questionnaire file.
void ExtractEnqRecords(const CDatFileImage& image, CQuestionnaireList& list = g_questionnaires);

// One report each; false (and no file) when the questionnaire has no answer.
bool WriteEnqXml(const QString& path, const CQuestionnaire& questionnaire);
bool WriteEnqCsv(const QString& path, const CQuestionnaire& questionnaire);
