#include "TOVKContEdit/ui/TOVKContEditView.h"

#include "TOVKContEdit/model/ContentLimits.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/AddContentDlg.h"
#include "TOVKContEdit/ui/App.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/SortDlg.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace
{
constexpr unsigned CellFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX;
constexpr unsigned DescriptionFormat = DT_CENTER | DT_VCENTER | DT_NOPREFIX;
// Editor values stored with the columns: the kind, then a drop-down list or edit style.
constexpr int EditorKind = 4;
constexpr unsigned DropDownListStyle = 0x0003;
constexpr unsigned EditStyle = 0x0000;
// The shell's path limit for the first file of a drop onto a cell.
constexpr int MaxCellDropPathLength = 259;

bool HasExtension(const QString& path, const char* extension)
{
    return Path::FindExtension(path).toLower() == QLatin1String(extension);
}

bool IsExistingFile(const QString& path)
{
    return !path.isEmpty() && Path::FileExists(path) && !Path::IsDirectory(path);
}
} // namespace

const int CTOVKContEditView::DefaultWidths[ColumnCount] = {50, 65, 50, 75, 130, 130, 70, 300};

const QImage* ThumbnailCache::Get(const QString& path, const QSize& cell)
{
    if (path.isEmpty() || !HasExtension(path, ".bmp"))
        return nullptr;
    const QFileInfo info(Path::Resolve(path));
    if (!info.isFile())
        return nullptr;
    auto it = m_entries.find(path);
    if (it == m_entries.end() || it->size != info.size() || it->modified != info.lastModified())
    {
        if (m_entries.size() >= MaxEntries)
            m_entries.clear();
        Entry entry;
        entry.size = info.size();
        entry.modified = info.lastModified();
        QImageReader reader(info.filePath());
        entry.picture = reader.read();
        ++m_decodes;
        it = m_entries.insert(path, entry);
    }
    if (it->picture.isNull() || cell.isEmpty())
        return nullptr;
    const int w = it->picture.width();
    const int h = it->picture.height();
    const QSize size(std::min(cell.width(), cell.height() * w / h),
                     std::min(cell.height(), cell.width() * h / w));
    if (size.isEmpty())
        return nullptr;
    if (it->scaled.size() != size)
        it->scaled = it->picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    return &it->scaled;
}

CTOVKContEditView::CTOVKContEditView(CTOVKContEditDoc& doc, std::unique_ptr<WaveOut> output,
                                     QWidget* parent)
    : CListViewEx(parent), m_doc(doc), m_player(std::move(output))
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    m_doc.AddView(this);
}

CTOVKContEditView::~CTOVKContEditView()
{
    m_doc.RemoveView(this);
    if (CTOVKContEditApp* app = CTOVKContEditApp::Current(); app && m_columnsAdded)
    {
        for (int c = 0; c < ColumnCount; ++c)
            app->m_nColumnWidth[c] = GetColumnWidth(c);
    }
}

CTOVKContEditView* CTOVKContEditView::Create(CTOVKContEditDoc& doc, CMainFrame& frame)
{
    auto* view = new CTOVKContEditView(doc);
    view->RegisterCommands(frame);
    view->OnInitialUpdate();
    return view;
}

void CTOVKContEditView::RegisterCommands(CMainFrame& frame)
{
    // The handlers outlive the view when the frame goes first: they hold it weakly.
    const QPointer<CTOVKContEditView> self(this);
    auto route = [&frame, self](unsigned id, void (CTOVKContEditView::*command)(),
                                bool (CTOVKContEditView::*enabled)() const)
    {
        frame.SetCommandHandler(
            id,
            [self, command]
            {
                if (self)
                    (self->*command)();
            },
            [self, enabled](CCmdUI& ui) { ui.Enable(self && (!enabled || (self->*enabled)())); });
    };
    route(ID_EDIT_ADD, &CTOVKContEditView::OnEditAdd, nullptr);
    route(ID_EDIT_COPY, &CTOVKContEditView::OnEditCopy, &CListViewEx::OnUpdateEditCopy);
    route(ID_EDIT_CUT, &CTOVKContEditView::OnEditCut, &CListViewEx::OnUpdateEditCopy);
    route(ID_EDIT_PASTE, &CTOVKContEditView::OnEditPaste, &CListViewEx::OnUpdateEditPaste);
    route(ID_EDIT_DELETE, &CTOVKContEditView::OnEditDelete, &CListViewEx::OnUpdateEditDelete);
    route(ID_EDIT_MOVEUP, &CTOVKContEditView::OnEditMoveUp, &CTOVKContEditView::OnUpdateEditMoveUp);
    route(ID_EDIT_MOVEDOWN, &CTOVKContEditView::OnEditMoveDown,
          &CTOVKContEditView::OnUpdateEditMoveDown);
    route(ID_EDIT_SORT, &CTOVKContEditView::OnEditSort, &CTOVKContEditView::OnUpdateEditSort);
    route(ID_EDIT_PLAYVOICE, &CTOVKContEditView::OnEditPlayVoice,
          &CTOVKContEditView::OnUpdateEditPlayVoice);
    route(ID_EDIT_STOPVOICE, &CTOVKContEditView::OnEditStopVoice,
          &CTOVKContEditView::OnUpdateEditStopVoice);
}

void CTOVKContEditView::OnInitialUpdate()
{
    if (!m_columnsAdded)
    {
        const unsigned titles[ColumnCount] = {IDS_LANGUAGE,     IDS_ITEM_NUMBER,     IDS_COMMENT,
                                              IDS_IMAGE_NUMBER, IDS_IMAGE1,          IDS_IMAGE2,
                                              IDS_VOICE,        IDS_ITEM_DESCRIPTION};
        const unsigned formats[ColumnCount] = {CellFormat,
                                               CellFormat,
                                               CellFormat,
                                               CellFormat,
                                               CellFormat,
                                               CellFormat,
                                               CellFormat | DT_PATH_ELLIPSIS,
                                               DescriptionFormat};
        const CTOVKContEditApp* app = CTOVKContEditApp::Current();
        for (int c = 0; c < ColumnCount; ++c)
        {
            AddColumn(Strings::Load(titles[c]), formats[c], DefaultWidths[c],
                      c == 0 ? EditorKind : 1, c == 0 ? DropDownListStyle : EditStyle);
        }
        SetShowRowNumbers(true);
        SetWholeLineHighlight(true);
        CListViewEx::OnInitialUpdate();
        for (int c = 0; c < ColumnCount; ++c)
        {
            int width = DefaultWidths[c];
            if (app && app->m_nColumnWidth[c] != -1)
                width = app->m_nColumnWidth[c];
            SetColumnWidth(c, std::max(width, GetFitColumnWidth(c)));
        }
        m_columnsAdded = true;
    }
    else
    {
        CListViewEx::OnInitialUpdate();
    }
    RefreshAll();
    viewport()->update();
}

ListCell CTOVKContEditView::LineCell(int column, const ContentRow& row) const
{
    const int lang = m_doc.GetDisplayLanguage();
    switch (column)
    {
    case ColumnLanguage:
        return ListCell::Text(LanguageName(lang));
    case ColumnItemNumber:
        return ListCell::Number(row.itemNumber);
    case ColumnComment:
        return ListCell::Text(row.comment);
    case ColumnImageNumber:
        return ListCell::Number((row.image1[lang].isEmpty() ? 0 : 1) +
                                (row.image2[lang].isEmpty() ? 0 : 1));
    case ColumnImage1:
        return ListCell::Text(row.image1[lang]);
    case ColumnImage2:
        return ListCell::Text(row.image2[lang]);
    case ColumnVoice:
        return ListCell::Text(row.voice[lang]);
    default:
        return ListCell::Text(row.description[lang]);
    }
}

void CTOVKContEditView::AddLineCells(int row)
{
    const ContentRow& content = m_doc.GetRow(row);
    for (int c = 0; c < ColumnCount; ++c)
        AppendCell(c, LineCell(c, content));
}

void CTOVKContEditView::InsertLineCells(int line, int row)
{
    const ContentRow& content = m_doc.GetRow(row);
    for (int c = 0; c < ColumnCount; ++c)
        InsertCell(c, line, LineCell(c, content));
}

void CTOVKContEditView::WriteLineCells(int line, int row)
{
    const ContentRow& content = m_doc.GetRow(row);
    for (int c = 0; c < ColumnCount; ++c)
        ReplaceCell(c, line, LineCell(c, content));
}

void CTOVKContEditView::RefreshAll()
{
    m_refreshing = true;
    EmptySelection();
    FreeAllCells();
    bool first = true;
    for (int row = 0; row < m_doc.GetRowCount(); ++row)
    {
        AddLineCells(row);
        ContentRow& content = m_doc.GetRow(row);
        if (!content.marked)
            continue;
        content.marked = 0;
        if (first)
            SetFocusRow(row, true);
        else
            SelectRow(row, true);
        first = false;
    }
    // Nothing marked: the focus line is selected again (an empty table keeps the focus on
    // the empty line).
    if (GetSelectedCount() == 0)
        SetFocusRow(GetFocusRow(), true);
    m_refreshing = false;
    UpdateScrollSizes();
    EnsureVisible(GetFocusColumn(), GetFocusRow(), EnsureRow);
}

void CTOVKContEditView::RefreshRange(int first, int count)
{
    m_refreshing = true;
    EmptySelection();
    bool focused = false;
    for (int row = first; row < first + count && row < m_doc.GetRowCount(); ++row)
    {
        InsertLineCells(row, row);
        ContentRow& content = m_doc.GetRow(row);
        if (!content.marked)
            continue;
        content.marked = 0;
        if (!focused)
            SetFocusRow(row, true);
        else
            SelectRow(row, true);
        focused = true;
    }
    m_refreshing = false;
    UpdateScrollSizes();
    EnsureVisible(GetFocusColumn(), GetFocusRow(), EnsureRow);
}

void CTOVKContEditView::RefreshTexts()
{
    const int lines = std::min(GetLineCount(), m_doc.GetRowCount());
    for (int line = 0; line < lines; ++line)
        WriteLineCells(line, line);
    viewport()->update();
}

void CTOVKContEditView::AppendLastRow()
{
    const int row = m_doc.GetRowCount() - 1;
    if (row < 0)
        return;
    AddLineCells(row);
    SetFocusRow(row, true);
    viewport()->update();
}

void CTOVKContEditView::StopVoice()
{
    m_player.Stop();
}

void CTOVKContEditView::OnUpdate(ContentDocObserver*, int hint)
{
    switch (hint)
    {
    case HintRefreshAll:
        RefreshAll();
        break;
    case HintStopVoiceRefreshAll:
        StopVoice();
        RefreshAll();
        break;
    case HintStopVoice:
        StopVoice();
        break;
    case HintLanguageTexts:
        if (!m_quietLanguageSwitch)
            RefreshTexts();
        break;
    default:
        break;
    }
    viewport()->update();
}

void CTOVKContEditView::ShowMaxContentMessage()
{
    AfxMessageBox(FormatString(IDS_MAX_CONTENT, {MaxContentRows}), MB_OK | MB_ICONEXCLAMATION);
}

int CTOVKContEditView::RunAddDialog(CAddContentDlg& dialog)
{
    return dialog.DoModal();
}

int CTOVKContEditView::RunSortDialog(CSortDlg& dialog)
{
    return dialog.DoModal();
}

void CTOVKContEditView::WriteDialogResult(int row, const CAddContentDlg& dialog)
{
    m_doc.SetCellNumber(row, ColumnLanguage, dialog.m_nLanguage);
    m_doc.SetCellNumber(row, ColumnItemNumber, dialog.m_nItemNumber);
    m_doc.SetCellText(row, ColumnComment, dialog.m_strComment, false);
    // The cell setters work on the display language: switch through the nine quietly.
    const int shown = m_doc.GetDisplayLanguage();
    m_quietLanguageSwitch = true;
    for (int lang = 0; lang < LanguageCount; ++lang)
    {
        m_doc.OnViewLanguage(lang);
        m_doc.SetCellText(row, ColumnImage1, dialog.m_strImage1[lang], false);
        m_doc.SetCellText(row, ColumnImage2, dialog.m_strImage2[lang], false);
        m_doc.SetCellText(row, ColumnVoice, dialog.m_strVoice[lang], false);
        m_doc.SetCellText(row, ColumnDescription, dialog.m_strDescription[lang], false);
    }
    m_doc.OnViewLanguage(shown);
    m_quietLanguageSwitch = false;
}

void CTOVKContEditView::OnEditAdd()
{
    if (m_doc.GetRowCount() >= MaxContentRows)
    {
        ShowMaxContentMessage();
        return;
    }
    CAddContentDlg dialog(&m_doc, window());
    dialog.m_nRowIndex = -1;
    dialog.m_nLanguage = m_doc.GetDisplayLanguage();
    dialog.m_nCurrentTab = m_doc.GetDisplayLanguage();
    dialog.m_nItemNumber = m_doc.GetFreeItemNumber();
    dialog.m_strProjectFolder = m_doc.GetConvertFolder();
    if (RunAddDialog(dialog) != IDOK)
        return;
    const int row = m_doc.AddRow(false);
    if (row < 0)
        return;
    WriteDialogResult(row, dialog);
    AppendLastRow();
}

void CTOVKContEditView::EditRow(int row)
{
    if (row < 0)
        return;
    if (row >= m_doc.GetRowCount())
    {
        OnEditAdd();
        return;
    }
    const ContentRow& content = m_doc.GetRow(row);
    CAddContentDlg dialog(&m_doc, window());
    dialog.m_nRowIndex = row;
    dialog.m_nItemNumber = content.itemNumber;
    dialog.m_strComment = content.comment;
    dialog.m_strImage1 = content.image1;
    dialog.m_strImage2 = content.image2;
    dialog.m_strVoice = content.voice;
    dialog.m_strDescription = content.description;
    dialog.m_nLanguage = m_doc.GetDisplayLanguage();
    dialog.m_nCurrentTab = m_doc.GetDisplayLanguage();
    dialog.m_strProjectFolder = m_doc.GetConvertFolder();
    if (RunAddDialog(dialog) != IDOK)
        return;
    int target = row;
    if (target >= m_doc.GetRowCount())
    {
        // The row went while the dialog was open: the entry becomes a new row.
        target = m_doc.AddRow(false);
        if (target < 0)
        {
            ShowMaxContentMessage();
            return;
        }
        AddLineCells(target);
    }
    WriteDialogResult(target, dialog);
    RefreshTexts();
}

void CTOVKContEditView::OnLButtonDblClk(const QPoint& point)
{
    if (point.y() < HeaderHeight() + 4)
    {
        OnHeaderDoubleClick(point);
        return;
    }
    int line = -1;
    int column = -1;
    HitTest(point, line, column);
    if (line < 0 || line != GetFocusRow() || !SelectAtPoint(point))
        return;
    if (line >= MaxContentRows)
        ShowMaxContentMessage();
    else
        EditRow(line);
}

void CTOVKContEditView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(event->position().toPoint());
    event->accept();
}

void CTOVKContEditView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
    {
        SelectAtPoint(event->position().toPoint());
        event->accept();
        return;
    }
    CListViewEx::mousePressEvent(event);
}

void CTOVKContEditView::OnKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        EditRow(GetFocusRow());
    CListViewEx::OnKeyDown(key, modifiers);
}

void CTOVKContEditView::MarkSelectedRows()
{
    for (int i = 0; i < GetSelectedCount(); ++i)
    {
        const int row = GetSelectedRow(i);
        if (row >= 0 && row < m_doc.GetRowCount())
            m_doc.GetRow(row).marked = 1;
    }
}

void CTOVKContEditView::OnEditCopy()
{
    if (GetSelectedCount() == 0)
        return;
    MarkSelectedRows();
    m_doc.CopyMarkedRows();
    m_doc.ClearMarks();
}

void CTOVKContEditView::OnEditCut()
{
    RemoveSelectedRows(&CTOVKContEditDoc::CutMarkedRows);
}

void CTOVKContEditView::OnEditDelete()
{
    RemoveSelectedRows(&CTOVKContEditDoc::DeleteMarkedRows);
}

void CTOVKContEditView::RemoveSelectedRows(void (CTOVKContEditDoc::*remove)())
{
    if (GetSelectedCount() == 0)
        return;
    const int focus = GetFocusRow();
    MarkSelectedRows();
    SetRedraw(false);
    (m_doc.*remove)();
    RefreshAll();
    SetFocusRow(focus, true);
    SetRedraw(true);
    viewport()->update();
}

bool CTOVKContEditView::CanPaste() const
{
    return m_doc.CanPaste();
}

void CTOVKContEditView::OnEditPaste()
{
    if (!m_doc.CanPaste())
        return;
    const int at = GetFocusRow();
    const int inserted = m_doc.PasteRows(at);
    RefreshRange(at, inserted);
    viewport()->update();
}

bool CTOVKContEditView::OnUpdateEditMoveUp() const
{
    if (GetSelectedCount() == 0)
        return false;
    int smallest = GetSelectedRow(0);
    for (int i = 1; i < GetSelectedCount(); ++i)
        smallest = std::min(smallest, GetSelectedRow(i));
    return smallest != 0;
}

bool CTOVKContEditView::OnUpdateEditMoveDown() const
{
    if (GetSelectedCount() == 0)
        return false;
    int largest = GetSelectedRow(0);
    for (int i = 1; i < GetSelectedCount(); ++i)
        largest = std::max(largest, GetSelectedRow(i));
    return largest < m_doc.GetRowCount() - 1;
}

void CTOVKContEditView::OnEditMoveUp()
{
    if (!OnUpdateEditMoveUp())
        return;
    const int focus = GetFocusRow();
    MarkSelectedRows();
    m_doc.MoveMarkedUp();
    RefreshAll();
    SetFocusRow(focus - 1, false);
    viewport()->update();
}

void CTOVKContEditView::OnEditMoveDown()
{
    if (!OnUpdateEditMoveDown())
        return;
    const int focus = GetFocusRow();
    MarkSelectedRows();
    m_doc.MoveMarkedDown();
    RefreshAll();
    SetFocusRow(focus + 1, false);
    viewport()->update();
}

bool CTOVKContEditView::OnUpdateEditSort() const
{
    return m_doc.GetRowCount() > 0;
}

void CTOVKContEditView::OnEditSort()
{
    CSortDlg dialog(window());
    dialog.m_bRenumber = m_doc.GetFillUnusedNumbers();
    if (RunSortDialog(dialog) != IDOK)
        return;
    m_doc.SetFillUnusedNumbers(dialog.m_bRenumber);
    const int focus = GetFocusRow();
    if (focus >= 0 && focus < m_doc.GetRowCount())
        m_doc.GetRow(focus).marked = 1;
    m_doc.SortByItemNumber(dialog.m_bRenumber);
    m_doc.SetModifiedFlag(true);
    m_doc.UpdateMainFrameTitle();
}

bool CTOVKContEditView::OnUpdateEditPlayVoice() const
{
    const int row = GetFocusRow();
    if (row < 0 || row >= m_doc.GetRowCount())
        return false;
    return HasExtension(m_doc.GetRow(row).voice[m_doc.GetDisplayLanguage()], ".wav");
}

void CTOVKContEditView::OnEditPlayVoice()
{
    const int row = GetFocusRow();
    if (row < 0 || row >= MaxContentRows || row >= m_doc.GetRowCount())
        return;
    const QString voice = m_doc.GetRow(row).voice[m_doc.GetDisplayLanguage()];
    if (!IsExistingFile(voice) || !HasExtension(voice, ".wav"))
        return;
    m_player.Stop();
    switch (m_player.Play(Path::Resolve(voice)))
    {
    case PlayOutcome::Playing:
        m_doc.SetPlayingRow(row);
        break;
    case PlayOutcome::NoDevice:
        // Silence would look like a fault of the file: the status bar says why.
        if (auto* frame = dynamic_cast<CMainFrame*>(window()))
            frame->SetMessageText(Strings::Load(IDS_NO_SOUND_DEVICE));
        break;
    case PlayOutcome::NotPlayable:
    case PlayOutcome::DeviceFailed:
        break;
    }
}

bool CTOVKContEditView::OnUpdateEditStopVoice() const
{
    return m_doc.GetRowCount() > 0;
}

void CTOVKContEditView::OnEditStopVoice()
{
    m_player.Stop();
}

int CTOVKContEditView::GetRowHeight() const
{
    if (GetColumnCount() < ColumnCount)
        return CListViewEx::GetRowHeight();
    const int widest = std::max(GetColumnWidth(ColumnImage1), GetColumnWidth(ColumnImage2));
    const int height = 2 + (widest - 2) * 96 / 128;
    return std::clamp(height, 50, 98);
}

int CTOVKContEditView::GetFitColumnWidth(int column)
{
    const unsigned format = GetColumnFormat(column);
    int widest = -1;
    auto measure = [&](const QString& text)
    { widest = std::max(widest, MeasureGridText(ListFont(), text, format)); };
    const int rows = m_doc.GetRowCount();
    const int lang = m_doc.GetDisplayLanguage();
    switch (column)
    {
    case ColumnLanguage:
        for (int l = 0; l < LanguageCount; ++l)
            measure(LanguageName(l));
        break;
    case ColumnItemNumber:
        for (int r = 0; r < rows; ++r)
            measure(QString::number(m_doc.GetRow(r).itemNumber));
        break;
    case ColumnComment:
        for (int r = 0; r < rows; ++r)
            measure(m_doc.GetRow(r).comment);
        break;
    case ColumnImageNumber:
        return std::max(9, MeasureGridText(ListFont(), QStringLiteral("2"), format) + 4);
    case ColumnImage1:
    case ColumnImage2:
        return rows > 0 ? 130 : 5;
    case ColumnVoice:
        for (int r = 0; r < rows; ++r)
            measure(m_doc.GetRow(r).voice[lang]);
        break;
    case ColumnDescription:
        for (int r = 0; r < rows; ++r)
            measure(m_doc.GetRow(r).description[lang]);
        break;
    default:
        break;
    }
    return widest < 0 ? 5 : widest + 4;
}

void CTOVKContEditView::DrawRow(QPainter& painter, int line, int x, int y)
{
    // While a drop highlights another cell, the focus shows in the inactive colours.
    const bool dropElsewhere = m_dropRow >= 0;
    DrawRowCells(painter, line, x, y,
                 [&](int column, bool inColumn)
                 {
                     if (line == m_dropRow && column == m_dropColumn)
                         return CellFill::Active;
                     if (IsActiveView() && inColumn && line == GetFocusRow())
                         return dropElsewhere ? CellFill::Inactive : CellFill::Active;
                     if (inColumn && IsRowSelected(line))
                         return CellFill::Inactive;
                     return CellFill::None;
                 });
}

void CTOVKContEditView::DrawCell(QPainter& painter, int line, int column, const QRect& rect)
{
    if (column != ColumnImage1 && column != ColumnImage2)
    {
        CListViewEx::DrawCell(painter, line, column, rect);
        return;
    }
    if (line < 0 || line >= m_doc.GetRowCount())
        return;
    const ContentRow& row = m_doc.GetRow(line);
    const int lang = m_doc.GetDisplayLanguage();
    const QString& path = column == ColumnImage1 ? row.image1[lang] : row.image2[lang];
    const QImage* thumbnail = m_thumbnails.Get(path, rect.size());
    if (!thumbnail)
        return;
    painter.fillRect(rect, Qt::white);
    painter.drawImage(rect.topLeft(), *thumbnail);
}

void CTOVKContEditView::ClearDropHighlight()
{
    m_dropRow = -1;
    m_dropColumn = -1;
}

Qt::DropAction CTOVKContEditView::OnDragOver(const QMimeData* data, const QPoint& point)
{
    const bool had = m_dropRow >= 0;
    ClearDropHighlight();
    const QString file = FirstDroppedFile(data, MaxCellDropPathLength);
    Qt::DropAction action = Qt::IgnoreAction;
    if (IsExistingFile(file))
    {
        int line = -1;
        int column = -1;
        HitTest(point, line, column);
        const bool picture =
            HasExtension(file, ".bmp") && (column == ColumnImage1 || column == ColumnImage2);
        const bool voice = HasExtension(file, ".wav") && column == ColumnVoice;
        if ((picture || voice) && line >= 0 && line < m_doc.GetRowCount())
        {
            m_dropRow = line;
            m_dropColumn = column;
            action = Qt::CopyAction;
        }
    }
    if (had || m_dropRow >= 0)
        viewport()->update();
    return action;
}

void CTOVKContEditView::OnDragLeave()
{
    ClearDropHighlight();
    viewport()->update();
}

bool CTOVKContEditView::OnDrop(const QMimeData* data, const QPoint& point, Qt::DropAction action)
{
    Q_UNUSED(point);
    const int row = m_dropRow;
    const int column = m_dropColumn;
    ClearDropHighlight();
    if (row < 0 || action != Qt::CopyAction)
    {
        viewport()->update();
        return false;
    }
    const QString file = FirstDroppedFile(data, MaxCellDropPathLength);
    bool stored = false;
    if (IsExistingFile(file))
    {
        if (HasExtension(file, ".bmp") && (column == ColumnImage1 || column == ColumnImage2))
            stored = m_doc.SetCellText(row, column, file, true);
        else if (HasExtension(file, ".wav") && column == ColumnVoice)
            stored = m_doc.SetCellText(row, ColumnVoice, file, true);
    }
    RefreshAll();
    viewport()->update();
    return stored;
}

void CTOVKContEditView::dragEnterEvent(QDragEnterEvent* event)
{
    // A drag from outside crosses the header or other cells first: it is taken wherever it
    // enters, so that every move reaches OnDragOver and judges the cell under the pointer.
    if (OnDragOver(event->mimeData(), event->position().toPoint()) == Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else
        event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

void CTOVKContEditView::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction action = OnDragOver(event->mimeData(), event->position().toPoint());
    if (action == Qt::CopyAction)
    {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    else
    {
        event->ignore();
    }
}

void CTOVKContEditView::dragLeaveEvent(QDragLeaveEvent* event)
{
    OnDragLeave();
    event->accept();
}

void CTOVKContEditView::dropEvent(QDropEvent* event)
{
    const Qt::DropAction action = m_dropRow >= 0 ? Qt::CopyAction : Qt::IgnoreAction;
    if (OnDrop(event->mimeData(), event->position().toPoint(), action))
        event->acceptProposedAction();
    else
        event->ignore();
}
