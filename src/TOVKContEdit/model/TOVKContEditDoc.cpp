#include "TOVKContEdit/model/TOVKContEditDoc.h"

#include "TOVKContEdit/model/ContentLimits.h"
#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/res/resource.h"
#include "platform/FileDialogs.h"
#include "platform/HandOver.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QFileInfo>
#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace
{
const QString kXmlFilter = QStringLiteral("XML files (*.xml)|*.xml|");

// Numbers in use among the rows, for the free-number search.
class UsedNumbers
{
public:
    explicit UsedNumbers(const std::vector<ContentRow>& rows) : m_used(MaxContentRows + 1, false)
    {
        for (const ContentRow& row : rows)
            Add(row.itemNumber);
    }
    bool Contains(int number) const
    {
        if (number >= 1 && number <= MaxContentRows)
            return m_used[number];
        return std::find(m_others.begin(), m_others.end(), number) != m_others.end();
    }
    void Add(int number)
    {
        if (number >= 1 && number <= MaxContentRows)
            m_used[number] = true;
        else
            m_others.push_back(number);
    }
    // The smallest free number not below `from`, or -1.
    int FirstFree(int from = 1) const
    {
        for (int n = std::max(from, 1); n <= MaxContentRows; ++n)
            if (!m_used[n])
                return n;
        return -1;
    }

private:
    std::vector<bool> m_used;
    std::vector<int> m_others; // numbers outside 1..10000 (from a file)
};

bool IsLanguage(int language)
{
    return language >= 0 && language < LanguageCount;
}

// The row a cell edit goes to: a cell aimed anywhere past the end lands in a row appended
// for it; -1 when there is no such row.
int EditedRow(CTOVKContEditDoc& doc, int row)
{
    if (row < 0 || row < doc.GetRowCount())
        return row;
    return doc.AddRow(false);
}
} // namespace

CTOVKContEditDoc::CTOVKContEditDoc()
{
    m_rows.reserve(MaxContentRows);
}

CTOVKContEditDoc::~CTOVKContEditDoc() = default;

// --- framework side -------------------------------------------------------------------

void CTOVKContEditDoc::AddView(ContentDocObserver* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CTOVKContEditDoc::RemoveView(ContentDocObserver* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CTOVKContEditDoc::UpdateAllViews(ContentDocObserver* sender, int hint)
{
    const std::vector<ContentDocObserver*> views = m_views;
    for (ContentDocObserver* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint);
}

void CTOVKContEditDoc::SetPathName(const QString& path, bool addToMru)
{
    m_pathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (addToMru && m_recentFileHandler && !m_pathName.isEmpty())
        m_recentFileHandler(m_pathName);
    UpdateMainFrameTitle();
}

void CTOVKContEditDoc::DeleteContents()
{
    ClearRows();
    FreeClipboard();
    UpdateAllViews(nullptr, HintStopVoiceRefreshAll);
}

bool CTOVKContEditDoc::OnNewDocument()
{
    DeleteContents();
    m_pathName.clear();
    m_diskFile.reset();
    SetModifiedFlag(false);
    UpdateMainFrameTitle();
    return true;
}

bool CTOVKContEditDoc::SaveModified()
{
    if (!IsModified())
        return true;
    // The framework's prompt names the document in "%1", filled in as a plain replacement.
    const QString prompt = Strings::Load(IDS_ASK_TO_SAVE).replace(QStringLiteral("%1"), GetTitle());
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONQUESTION))
    {
    case IDYES:
        return DoFileSave();
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool CTOVKContEditDoc::DoSave(const QString& path, bool replace)
{
    QString target = path;
    if (target.isEmpty())
    {
        const QString start =
            m_pathName.isEmpty() ? GetTitle() + QStringLiteral(".xml") : m_pathName;
        target = FileDialogs::Current().GetSaveFileName(nullptr, QString(), start, kXmlFilter,
                                                        QStringLiteral("xml"));
        if (target.isEmpty())
            return false;
    }
    if (!OnSaveDocument(target))
        return false;
    // The name as the file system spells it, not as it was typed.
    if (replace)
        SetPathName(Path::Resolve(target));
    return true;
}

bool CTOVKContEditDoc::DoFileSave()
{
    return DoSave(m_pathName);
}

void CTOVKContEditDoc::OnViewLanguage(int language)
{
    if (!IsLanguage(language) || language == m_displayLanguage)
        return;
    m_displayLanguage = language;
    UpdateAllViews(nullptr, HintLanguageTexts);
}

QString CTOVKContEditDoc::GetTitle() const
{
    if (!m_pathName.isEmpty())
        return Path::FindFileName(m_pathName);
    return Strings::Load(IDS_DOC_TEMPLATE).section(QLatin1Char('\n'), 1, 1);
}

QString CTOVKContEditDoc::GetMainFrameTitle() const
{
    QString title = GetTitle();
    if (IsModified())
        title += QStringLiteral(" *");
    return title + QStringLiteral(" - ") + Strings::Load(IDS_APP_TITLE);
}

void CTOVKContEditDoc::UpdateMainFrameTitle()
{
    if (m_titleHandler)
        m_titleHandler(GetMainFrameTitle());
}

void CTOVKContEditDoc::SetMainFrameTitleHandler(std::function<void(const QString&)> handler)
{
    m_titleHandler = std::move(handler);
}

void CTOVKContEditDoc::SetRecentFileHandler(std::function<void(const QString&)> handler)
{
    m_recentFileHandler = std::move(handler);
}

void CTOVKContEditDoc::SetModified()
{
    SetModifiedFlag(true);
    UpdateMainFrameTitle();
}

// --- the table ------------------------------------------------------------------------

const ContentRow& CTOVKContEditDoc::GetRow(int row) const
{
    static const ContentRow empty;
    if (row < 0 || row >= GetRowCount())
        return empty;
    return m_rows[row];
}

ContentRow& CTOVKContEditDoc::GetRow(int row)
{
    if (row < 0 || row >= GetRowCount())
    {
        m_outside = ContentRow();
        return m_outside;
    }
    return m_rows[row];
}

void CTOVKContEditDoc::ClearRows()
{
    m_rows.clear();
}

void CTOVKContEditDoc::FreeClipboard()
{
    m_clipboard.clear();
    m_clipboard.shrink_to_fit();
    m_clipboardLanguage = -1;
}

void CTOVKContEditDoc::CopyMarkedRows()
{
    CopyToClipboard(false);
}

void CTOVKContEditDoc::CutMarkedRows()
{
    CopyToClipboard(true);
    SetModified();
}

void CTOVKContEditDoc::CopyToClipboard(bool remove)
{
    FreeClipboard();
    m_clipboardLanguage = m_displayLanguage;
    for (ContentRow& row : m_rows)
    {
        if (!row.marked)
            continue;
        ContentRow copy = row;
        copy.marked = 0;
        // A pasted copy is not the row being played.
        copy.playing = 0;
        m_clipboard.push_back(std::move(copy));
        if (!remove)
            row.marked = 0;
    }
    if (remove)
        DeleteMarkedRows();
}

void CTOVKContEditDoc::DeleteRow(int row)
{
    if (row < 0 || row >= GetRowCount())
        return;
    if (m_rows[row].playing)
        UpdateAllViews(nullptr, HintStopVoice);
    m_rows.erase(m_rows.begin() + row);
    SetModified();
}

void CTOVKContEditDoc::DeleteMarkedRows()
{
    // One compaction pass instead of shifting the table once per row.
    const bool stopsVoice =
        std::any_of(m_rows.begin(), m_rows.end(),
                    [](const ContentRow& row) { return row.marked && row.playing; });
    if (stopsVoice)
        UpdateAllViews(nullptr, HintStopVoice);
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(),
                                [](const ContentRow& row) { return row.marked != 0; }),
                 m_rows.end());
    SetModified();
}

bool CTOVKContEditDoc::CanPaste() const
{
    return !m_clipboard.empty() && m_clipboardLanguage == m_displayLanguage;
}

int CTOVKContEditDoc::PasteRows(int at)
{
    // Each clipboard row whose number is in use takes the smallest free number at its
    // insertion; numbers are only ever taken here, so the search resumes where it stopped.
    UsedNumbers used(m_rows);
    std::vector<ContentRow> inserted;
    int nextFree = 1;
    for (ContentRow& slot : m_clipboard)
    {
        if (GetRowCount() + static_cast<int>(inserted.size()) >= MaxContentRows)
            break;
        if (used.Contains(slot.itemNumber))
        {
            nextFree = used.FirstFree(nextFree);
            if (nextFree < 0)
                break;
            slot.itemNumber = nextFree;
        }
        used.Add(slot.itemNumber);
        ContentRow row = slot;
        row.marked = 1;
        row.playing = 0;
        inserted.push_back(std::move(row));
    }
    const int position = std::clamp(at, 0, GetRowCount());
    m_rows.insert(m_rows.begin() + position, std::make_move_iterator(inserted.begin()),
                  std::make_move_iterator(inserted.end()));
    SetModified();
    return static_cast<int>(inserted.size());
}

bool CTOVKContEditDoc::InsertRow(int at, ContentRow& row)
{
    if (GetRowCount() >= MaxContentRows)
        return false;
    if (!IsItemNumberFree(row.itemNumber, -1))
    {
        const int number = GetFreeItemNumber();
        if (number < 0)
            return false;
        row.itemNumber = number;
    }
    ContentRow copy = row;
    copy.marked = 1;
    m_rows.insert(m_rows.begin() + std::clamp(at, 0, GetRowCount()), std::move(copy));
    SetModified();
    return true;
}

// A marked row only changes places with an unmarked neighbour, so a block that touches the
// table's edge stays where it is, in its order.
void CTOVKContEditDoc::MoveMarkedUp()
{
    for (int i = 1; i < GetRowCount(); ++i)
        if (m_rows[i].marked && !m_rows[i - 1].marked)
            std::swap(m_rows[i], m_rows[i - 1]);
    SetModified();
}

void CTOVKContEditDoc::MoveMarkedDown()
{
    for (int i = GetRowCount() - 2; i >= 0; --i)
        if (m_rows[i].marked && !m_rows[i + 1].marked)
            std::swap(m_rows[i], m_rows[i + 1]);
    SetModified();
}

void CTOVKContEditDoc::ClearMarks()
{
    for (ContentRow& row : m_rows)
        row.marked = 0;
}

int CTOVKContEditDoc::GetFreeItemNumber() const
{
    if (GetRowCount() >= MaxContentRows)
        return -1;
    return UsedNumbers(m_rows).FirstFree();
}

int CTOVKContEditDoc::AppendEmptyRow(int itemNumber)
{
    ContentRow row;
    row.language = m_displayLanguage;
    row.itemNumber = itemNumber;
    row.imageCount = 2;
    m_rows.push_back(std::move(row));
    return GetRowCount() - 1;
}

int CTOVKContEditDoc::AddRow(bool keepUnmodified)
{
    if (GetRowCount() >= MaxContentRows)
        return -1;
    const int index = AppendEmptyRow(GetFreeItemNumber());
    if (!keepUnmodified)
        SetModified();
    return index;
}

bool CTOVKContEditDoc::SetCellText(int row, int column, const QString& text, bool check)
{
    row = EditedRow(*this, row);
    if (row < 0)
        return false;
    if (check && !ValidateContentFile(text, column, true))
        return false;
    ContentRow& target = m_rows[row];
    const int lang = m_displayLanguage;
    switch (column)
    {
    case ColumnComment:
        target.comment = text;
        break;
    case ColumnImage1:
        target.image1[lang] = text;
        break;
    case ColumnImage2:
        target.image2[lang] = text;
        break;
    case ColumnVoice:
        target.voice[lang] = text;
        break;
    case ColumnDescription:
        target.description[lang] = NormalizeLineBreaks(text);
        break;
    default:
        break;
    }
    SetModified();
    return true;
}

bool CTOVKContEditDoc::SetCellNumber(int row, int column, int value)
{
    row = EditedRow(*this, row);
    if (row < 0)
        return false;
    if (column == ColumnLanguage)
        m_rows[row].language = value;
    else if (column == ColumnItemNumber)
        m_rows[row].itemNumber = value;
    SetModified();
    return true;
}

bool CTOVKContEditDoc::IsItemNumberFree(int number, int skipRow) const
{
    for (int i = 0; i < GetRowCount(); ++i)
        if (i != skipRow && m_rows[i].itemNumber == number)
            return false;
    return true;
}

void CTOVKContEditDoc::SortByItemNumber(bool renumber)
{
    // Stable: rows with equal numbers keep their order. Indices are sorted so that each
    // row moves once.
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return m_rows[a].itemNumber < m_rows[b].itemNumber; });
    std::vector<ContentRow> sorted;
    sorted.reserve(MaxContentRows);
    for (int index : order)
        sorted.push_back(std::move(m_rows[index]));
    m_rows = std::move(sorted);
    if (renumber)
        for (int i = 0; i < GetRowCount(); ++i)
            m_rows[i].itemNumber = i + 1;
    UpdateAllViews(nullptr, HintRefreshAll);
}

void CTOVKContEditDoc::SetPlayingRow(int row)
{
    for (int i = 0; i < GetRowCount(); ++i)
        m_rows[i].playing = i == row ? 1 : 0;
}

// --- the XML content file ---------------------------------------------------------------

bool CTOVKContEditDoc::CanLoadContentFile(const QString& path)
{
    ContentRecords scratch;
    return m_xmlFile.Load(path, scratch);
}

void CTOVKContEditDoc::SaveLastContentFile(const QString& path)
{
    HandOver::SetValue(QStringLiteral("LastContentFile"), QFileInfo(path).absoluteFilePath());
}

void CTOVKContEditDoc::FillSaveRecords()
{
    m_records.clear();
    for (const ContentRow& row : m_rows)
    {
        for (int lang = 0; lang < LanguageCount; ++lang)
        {
            if (!row.HasContent(lang))
                continue;
            ContentRecord record;
            record.nLangType = lang;
            record.nProductNo = row.itemNumber;
            record.nProductImgCnt = row.imageCount;
            record.strProductImg1 = row.image1[lang];
            record.strProductImg2 = row.image2[lang];
            record.strProductWav = row.voice[lang];
            record.strProductTxt = row.description[lang];
            record.strProductCmt = row.comment;
            m_records.push_back(std::move(record));
        }
    }
}

bool CTOVKContEditDoc::OnSaveDocument(const QString& path)
{
    if (Path::IsDirectory(path))
        return false;
    const QString target = QFileInfo(Path::Resolve(path)).absoluteFilePath();
    if (m_diskFile && target == m_pathName)
    {
        // Another program (or author) wrote the file since: their work is not undone unasked.
        const std::optional<Path::FileIdentity> now = Path::IdentityOf(target);
        if (now && *now != *m_diskFile)
            switch (AfxMessageBox(FormatString(IDS_FILE_CHANGED_ON_DISK, {target}),
                                  MB_YESNOCANCEL | MB_ICONQUESTION))
            {
            case IDYES:
                break;
            case IDNO:
                OnOpenDocument(target);
                return false;
            default:
                return false;
            }
    }
    FillSaveRecords();
    Path::FileIdentity written;
    if (!m_xmlFile.Save(path, m_records, &written))
        return false;
    m_diskFile = written;
    SaveLastContentFile(Path::Resolve(path));
    SetModifiedFlag(false);
    UpdateMainFrameTitle();
    return true;
}

bool CTOVKContEditDoc::FillRowsFromRecords()
{
    std::unordered_map<int, int> rowOfNumber;
    bool keepsLanguage = false;
    int firstLanguage = -1;
    bool dropped = false;
    for (const ContentRecord& record : m_records)
    {
        const int lang = record.nLangType;
        if (!IsLanguage(lang))
            continue;
        int index;
        const auto found = rowOfNumber.find(record.nProductNo);
        if (found != rowOfNumber.end())
        {
            index = found->second;
        }
        else
        {
            if (GetRowCount() >= MaxContentRows)
            {
                dropped = true;
                continue;
            }
            index = AppendEmptyRow(record.nProductNo);
            rowOfNumber.emplace(record.nProductNo, index);
        }
        if (firstLanguage < 0)
            firstLanguage = lang;
        if (lang == m_displayLanguage)
            keepsLanguage = true;
        ContentRow& row = m_rows[index];
        row.marked = 0;
        row.language = lang;
        row.itemNumber = record.nProductNo;
        row.comment = record.strProductCmt;
        row.imageCount = record.nProductImgCnt;
        row.image1[lang] = record.strProductImg1;
        row.image2[lang] = record.strProductImg2;
        row.voice[lang] = record.strProductWav;
        row.description[lang] = NormalizeLineBreaks(record.strProductTxt);
        row.playing = 0;
    }
    if (!keepsLanguage && firstLanguage >= 0)
        m_displayLanguage = firstLanguage;
    return !dropped;
}

bool CTOVKContEditDoc::OnOpenDocument(const QString& path)
{
    // Opened once: what is read is what is remembered as the document's file.
    const Path::ReadOnlyFile file = Path::OpenRegularFile(path);
    if (!file.IsOpen())
    {
        AfxMessageBox(FormatString(IDS_CANNOT_FIND_FILE_OPEN, {path}));
        return false;
    }
    return OpenFrom(path, file);
}

bool CTOVKContEditDoc::OpenFrom(const QString& path, const Path::ReadOnlyFile& file)
{
    if (!m_xmlFile.Load(file, m_records))
    {
        AfxMessageBox(FormatString(IDS_UNSUPPORTED_XML, {path}));
        return false;
    }
    m_diskFile = file.Identity();
    ClearRows();
    FreeClipboard();
    const bool complete = FillRowsFromRecords();
    if (!m_rows.empty())
        m_rows[0].marked = 1;
    UpdateAllViews(nullptr, HintStopVoiceRefreshAll);
    SetPathName(Path::Resolve(path));
    SetModifiedFlag(false);
    UpdateMainFrameTitle();
    if (!complete)
        AfxMessageBox(FormatString(IDS_MAX_CONTENT, {MaxContentRows}));
    return true;
}

void CTOVKContEditDoc::OnFileOpen()
{
    if (!SaveModified())
        return;
    const QString folder =
        Path::Append(Path::Append(m_convertFolder, QStringLiteral("input")), QStringLiteral("xml"));
    const QString path = FileDialogs::Current().GetOpenFileName(
        nullptr, QString(), Path::Resolve(folder), kXmlFilter, QStringLiteral("xml"));
    if (path.isEmpty())
        return;
    const Path::ReadOnlyFile file = Path::OpenRegularFile(path);
    if (!file.IsOpen())
    {
        AfxMessageBox(FormatString(IDS_CANNOT_FIND_FILE, {path}));
        return;
    }
    OpenFrom(path, file);
}
