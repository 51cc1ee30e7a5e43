#include "TOVKContEdit/ui/ListViewEx.h"

#include "TOVKContEdit/res/resource.h"
#include "platform/Strings.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>

namespace
{
// The modifiers an input event carries stand for the grid's state while it is handled.
class EventModifiers
{
public:
    EventModifiers(std::optional<Qt::KeyboardModifiers>& slot, Qt::KeyboardModifiers state)
        : m_slot(slot), m_previous(slot)
    {
        m_slot = state;
    }
    ~EventModifiers() { m_slot = m_previous; }
    EventModifiers(const EventModifiers&) = delete;
    EventModifiers& operator=(const EventModifiers&) = delete;

private:
    std::optional<Qt::KeyboardModifiers>& m_slot;
    std::optional<Qt::KeyboardModifiers> m_previous;
};

QString StripCarriageReturns(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString copy = text;
    copy.remove(QLatin1Char('\r'));
    return copy;
}

int QtTextFlags(unsigned format)
{
    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    // Vertical placement only applies to single lines, as with DrawText.
    if (format & DT_SINGLELINE)
    {
        flags |= Qt::TextSingleLine;
        if (format & DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
    }
    else
    {
        flags |= Qt::AlignTop;
        if (format & DT_WORDBREAK)
            flags |= Qt::TextWordWrap;
    }
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    return flags;
}

// The 8 x 8 pattern of the dotted grid lines: every other pixel.
const QBrush& GridLineBrush()
{
    static const QBrush brush = []
    {
        QImage pattern(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                pattern.setPixel(x, y, ((x + y) % 2) ? qRgb(255, 255, 255) : qRgb(128, 128, 128));
        return QBrush(QPixmap::fromImage(pattern));
    }();
    return brush;
}

// Column titles: one line, left-aligned, vertically centred; a title wider than its column
// ends in an ellipsis.
constexpr unsigned TitleFormat =
    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

void DrawRaisedEdge(QPainter& painter, const QRect& rect, const QColor& light, const QColor& dark)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.setPen(light);
    painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    painter.setPen(dark);
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
}
} // namespace

QString ShownGridText(const QFont& font, const QString& text, int width, unsigned format)
{
    const QString shown = StripCarriageReturns(text);
    if (!(format & DT_SINGLELINE) || !(format & (DT_PATH_ELLIPSIS | DT_END_ELLIPSIS)))
        return shown;
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(shown) <= width)
        return shown;
    return metrics.elidedText(shown, (format & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight,
                              width);
}

void DrawGridText(QPainter& painter, const QString& text, const QRect& rect, unsigned format)
{
    painter.drawText(rect, QtTextFlags(format),
                     ShownGridText(painter.font(), text, rect.width(), format));
}

int MeasureGridText(const QFont& font, const QString& text, unsigned format)
{
    const QFontMetrics metrics(font);
    const QString shown = StripCarriageReturns(text);
    const int flags = QtTextFlags(format & ~DT_WORDBREAK);
    return metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), flags, shown).width();
}

CListViewEx::CListViewEx(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::NoFrame);
    BuildFonts();
}

CListViewEx::~CListViewEx() = default;

void CListViewEx::BuildFonts()
{
    QFont font = QApplication::font();
    const QString face = Strings::Load(IDS_LIST_FONT_FACE);
    if (!face.isEmpty())
        font.setFamilies({face, font.family()});
    const int pixels = std::max(1, QFontInfo(font).pixelSize());
    font.setPixelSize(pixels);
    m_fontHeight = pixels;
    m_listFont = font;
    m_headerFont = font;
    if (m_boldHeader)
    {
        m_listFont.setBold(true);
        m_headerFont.setBold(true);
    }
    setFont(m_listFont);
}

void CListViewEx::OnInitialUpdate()
{
    BuildFonts();
    UpdateScrollSizes();
}

int CListViewEx::AddColumn(const QString& title, unsigned format, int width, int editorKind,
                           unsigned editorStyle)
{
    if (GetColumnCount() >= MaxColumns)
        return -1;
    Column column;
    column.title = title;
    column.format = format;
    column.width = width;
    column.editorKind = editorKind;
    column.editorStyle = editorStyle;
    m_columns.push_back(std::move(column));
    UpdateScrollSizes();
    return GetColumnCount() - 1;
}

int CListViewEx::GetLineCount() const
{
    return m_columns.empty() ? 0 : static_cast<int>(m_columns.front().cells.size());
}

const ListCell* CListViewEx::GetCell(int column, int line) const
{
    if (column < 0 || column >= GetColumnCount() || line < 0)
        return nullptr;
    const auto& cells = m_columns[column].cells;
    return line < static_cast<int>(cells.size()) ? &cells[line] : nullptr;
}

QString CListViewEx::GetColumnTitle(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_columns[column].title : QString();
}

unsigned CListViewEx::GetColumnFormat(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_columns[column].format : 0;
}

int CListViewEx::AddCellText(int column, const QString& text)
{
    if (column < 0 || column >= GetColumnCount())
        return -1;
    auto& cells = m_columns[column].cells;
    cells.push_back(ListCell::Text(text.left(MaxTextLength - 1)));
    return static_cast<int>(cells.size()) - 1;
}

int CListViewEx::AppendCell(int column, const ListCell& cell)
{
    if (column < 0 || column >= GetColumnCount())
        return -1;
    auto& cells = m_columns[column].cells;
    ListCell copy = cell;
    if (copy.isNumber)
        copy.number = std::min(copy.number, m_maxNumber);
    else
        copy.text.truncate(MaxTextLength - 1);
    cells.push_back(std::move(copy));
    UpdateScrollSizes();
    return static_cast<int>(cells.size()) - 1;
}

bool CListViewEx::InsertCellText(int column, int line, const QString& text)
{
    return InsertCell(column, line, ListCell::Text(text));
}

bool CListViewEx::InsertCell(int column, int line, const ListCell& cell)
{
    if (column < 0 || column >= GetColumnCount() || line < 0)
        return false;
    auto& cells = m_columns[column].cells;
    if (line > static_cast<int>(cells.size()))
        return false;
    ListCell copy = cell;
    if (copy.isNumber)
        copy.number = std::min(copy.number, m_maxNumber);
    else
        copy.text.truncate(MaxTextLength - 1);
    cells.insert(cells.begin() + line, std::move(copy));
    UpdateScrollSizes();
    return true;
}

void CListViewEx::SetCellText(int column, int line, const QString& text)
{
    if (column < 0 || column >= GetColumnCount() || line < 0)
        return;
    auto& cells = m_columns[column].cells;
    if (line >= static_cast<int>(cells.size()) || cells[line].isNumber)
        return;
    cells[line].text = text.left(MaxTextLength - 1);
}

void CListViewEx::ReplaceCell(int column, int line, const ListCell& cell)
{
    if (column < 0 || column >= GetColumnCount() || line < 0)
        return;
    auto& cells = m_columns[column].cells;
    if (line >= static_cast<int>(cells.size()))
        return;
    cells[line] = cell;
    if (cell.isNumber)
        cells[line].number = std::min(cell.number, m_maxNumber);
    else
        cells[line].text.truncate(MaxTextLength - 1);
}

void CListViewEx::FreeAllCells()
{
    for (Column& column : m_columns)
        column.cells.clear();
}

bool CListViewEx::CanCopy() const
{
    return GetSelectedCount() > 0;
}

bool CListViewEx::CanPaste() const
{
    return false;
}

bool CListViewEx::CanEditCell(int, int) const
{
    return true;
}

int CListViewEx::GetRowHeight() const
{
    return m_fontHeight + 4;
}

int CListViewEx::GetFitColumnWidth(int column)
{
    return GetColumnWidth(column);
}

int CListViewEx::GetColumnWidth(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_columns[column].width : 0;
}

int CListViewEx::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= GetColumnCount())
        return 0;
    width = std::max(width, m_minColumnWidth);
    if (m_maxColumnWidth >= 0)
        width = std::min(width, m_maxColumnWidth);
    if (m_columns[column].width != width)
    {
        m_columns[column].width = width;
        UpdateScrollSizes();
    }
    return width;
}

int CListViewEx::ColumnLeft(int column) const
{
    int x = RowNumberWidth();
    for (int c = 0; c < column && c < GetColumnCount(); ++c)
        x += m_columns[c].width + 1;
    return x;
}

int CListViewEx::TotalWidth() const
{
    return ColumnLeft(GetColumnCount()) + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int CListViewEx::TotalHeight() const
{
    const int r = GetRowHeight();
    return r * (GetLineCount() + (m_appendLine ? 1 : 0)) + r / 2 + HeaderHeight() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
}

void CListViewEx::UpdateScrollSizes()
{
    if (m_refreshing)
        return;
    m_totalWidth = TotalWidth();
    m_totalHeight = TotalHeight();
    UpdateScrollBars();
    viewport()->update();
}

void CListViewEx::UpdateScrollBars()
{
    const QSize client = viewport()->size();
    const int r = std::max(1, GetRowHeight());
    horizontalScrollBar()->setRange(0, std::max(0, m_totalWidth - client.width()));
    horizontalScrollBar()->setPageStep(std::max(1, m_totalWidth / 10));
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, std::max(0, m_totalHeight - client.height()));
    verticalScrollBar()->setPageStep(5 * r);
    verticalScrollBar()->setSingleStep(r);
}

void CListViewEx::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CListViewEx::scrollContentsBy(int, int)
{
    viewport()->update();
}

int CListViewEx::GetSelectedCount() const
{
    return static_cast<int>(m_selection.size());
}

int CListViewEx::GetSelectedRow(int index) const
{
    if (index < 0 || index >= GetSelectedCount())
        return -1;
    return static_cast<int>(m_selection[index]);
}

bool CListViewEx::IsRowSelected(int line) const
{
    return line >= 0 && line < static_cast<int>(m_selectedFlags.size()) && m_selectedFlags[line];
}

void CListViewEx::SetSelectedFlag(int line, bool on)
{
    if (line < 0)
        return;
    if (line >= static_cast<int>(m_selectedFlags.size()))
    {
        if (!on)
            return;
        m_selectedFlags.resize(line + 1, 0);
    }
    m_selectedFlags[line] = on ? 1 : 0;
}

void CListViewEx::EmptySelection()
{
    for (unsigned line : m_selection)
        SetSelectedFlag(static_cast<int>(line), false);
    m_selection.clear();
}

void CListViewEx::SelectRow(int line, bool add)
{
    if (line < 0)
    {
        EmptySelection();
        return;
    }
    const int count = GetLineCount();
    const bool shift = ModifierDown(Qt::ShiftModifier);
    const bool ctrl = ModifierDown(Qt::ControlModifier);
    if (line >= count)
    {
        // The append line takes the focus but is never selected.
        if (line == count && m_appendLine && !shift && !ctrl)
            EmptySelection();
        return;
    }
    if (IsRowSelected(line))
        return;
    if (m_anchor >= 0 && m_multipleSelection && shift)
    {
        EmptySelection();
        const int step = line >= m_anchor ? 1 : -1;
        for (int i = m_anchor;; i += step)
        {
            if (i < count)
            {
                m_selection.push_back(static_cast<unsigned>(i));
                SetSelectedFlag(i, true);
            }
            if (i == line)
                break;
        }
        return;
    }
    if (!m_multipleSelection || (!ctrl && !add))
    {
        EmptySelection();
        m_selection.push_back(static_cast<unsigned>(line));
        SetSelectedFlag(line, true);
        m_anchor = line;
        return;
    }
    m_selection.push_back(static_cast<unsigned>(line));
    SetSelectedFlag(line, true);
}

int CListViewEx::LastFocusableLine() const
{
    return GetLineCount() - 1 + (m_appendLine ? 1 : 0);
}

void CListViewEx::SetFocusRow(int line, bool select)
{
    if (line < 0)
        return;
    const int last = LastFocusableLine();
    if (last < 0)
    {
        m_focusRow = 0;
        m_focusColumn = 0;
        return;
    }
    line = std::min(line, last);
    m_focusRow = line;
    EnsureVisible(m_focusColumn, line, EnsureRow);
    if (select)
        SelectRow(line, false);
}

void CListViewEx::SetFocusColumn(int column)
{
    if (column >= 0 && column < GetColumnCount())
        m_focusColumn = column;
}

void CListViewEx::MoveFocusNext()
{
    if (m_focusColumn + 1 < GetColumnCount())
        ++m_focusColumn;
    EnsureVisible(m_focusColumn, m_focusRow, EnsureColumnAndRow);
}

void CListViewEx::MoveFocusPrev()
{
    if (m_focusColumn > 0)
        --m_focusColumn;
    EnsureVisible(m_focusColumn, m_focusRow, EnsureColumnAndRow);
}

void CListViewEx::MoveFocusRowNext()
{
    SetFocusRow(m_focusRow + 1, true);
}

void CListViewEx::MoveFocusRowPrev()
{
    if (m_focusRow > 0)
        SetFocusRow(m_focusRow - 1, true);
}

QRect CListViewEx::GetCellRect(int column, int line) const
{
    const int r = GetRowHeight();
    const int left = ColumnLeft(column) + 1;
    return QRect(left, HeaderHeight() + line * r, GetColumnWidth(column), r - 1);
}

void CListViewEx::HitTest(const QPoint& point, int& line, int& column) const
{
    line = -1;
    column = -1;
    const int h = HeaderHeight();
    const int r = std::max(1, GetRowHeight());
    if (point.y() >= h)
    {
        const int candidate = (point.y() - h + verticalScrollBar()->value()) / r;
        if (candidate < GetLineCount() + (m_appendLine ? 1 : 0))
            line = candidate;
    }
    const int x = point.x() + horizontalScrollBar()->value();
    int edge = RowNumberWidth();
    if (x < edge)
        return;
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        edge += m_columns[c].width + 1;
        if (x < edge)
        {
            column = c;
            return;
        }
    }
}

bool CListViewEx::SelectAtPoint(const QPoint& point)
{
    int line = -1;
    int column = -1;
    HitTest(point, line, column);
    if (line >= 0 && column >= 0)
    {
        m_focusColumn = column;
        SetFocusRow(line, true);
        viewport()->update();
        return true;
    }
    const bool hadSelection = GetSelectedCount() > 0;
    EmptySelection();
    if (m_keepSelection && hadSelection)
        SelectRow(m_focusRow, false);
    else
        SelectRow(-1, false);
    return false;
}

void CListViewEx::SetRedraw(bool on)
{
    setUpdatesEnabled(on);
    viewport()->setUpdatesEnabled(on);
}

void CListViewEx::EnsureVisible(int column, int line, int mode)
{
    const int r = std::max(1, GetRowHeight());
    const int h = HeaderHeight();
    QRect cell = GetCellRect(column, line).adjusted(0, 0, 2, 2);
    if (column == 0)
        cell.setLeft(0);
    const QSize client = viewport()->size();
    const int visibleHeight = std::max(r, ((client.height() - h) / r) * r);
    int vpos = verticalScrollBar()->value();
    int hpos = horizontalScrollBar()->value();
    int newV = vpos;
    int newH = hpos;
    if (cell.top() < vpos + h)
        newV = cell.top() - h;
    else if (cell.top() + cell.height() > vpos + h + visibleHeight)
        newV = cell.top() + cell.height() - h - visibleHeight;
    if (mode & 2)
    {
        if (cell.left() < hpos)
            newH = cell.left();
        else if (cell.left() + cell.width() > hpos + client.width())
            newH = cell.left() + cell.width() - client.width();
    }
    if (newV == vpos && newH == hpos)
        return;
    SetRedraw(false);
    verticalScrollBar()->setValue(newV);
    if (mode & 2)
        horizontalScrollBar()->setValue(newH);
    SetRedraw(true);
    viewport()->update();
}

void CListViewEx::OnEditDelete() {}

bool CListViewEx::OnUpdateEditDelete() const
{
    return CanCopy();
}

void CListViewEx::OnKeyDown(int key, Qt::KeyboardModifiers)
{
    switch (key)
    {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    case Qt::Key_Escape:
        EmptySelection();
        SetFocusRow(m_focusRow, m_keepSelection);
        break;
    case Qt::Key_Left:
        if (m_focusColumn > 0)
        {
            --m_focusColumn;
            EnsureVisible(m_focusColumn, m_focusRow, EnsureColumnAndRow);
        }
        break;
    case Qt::Key_Right:
        if (m_focusColumn + 1 < GetColumnCount())
        {
            ++m_focusColumn;
            EnsureVisible(m_focusColumn, m_focusRow, EnsureColumnAndRow);
        }
        break;
    case Qt::Key_Up:
        if (m_focusRow > 0)
            SetFocusRow(m_focusRow - 1, true);
        break;
    case Qt::Key_Down:
        if (m_focusRow + 1 < GetLineCount() + 1)
            SetFocusRow(m_focusRow + 1, true);
        break;
    case Qt::Key_Delete:
        QTimer::singleShot(0, this, [this] { OnEditDelete(); });
        break;
    default:
        break;
    }
    viewport()->update();
}

bool CListViewEx::ModifierDown(Qt::KeyboardModifier modifier) const
{
    const Qt::KeyboardModifiers state =
        m_eventModifiers ? *m_eventModifiers : QGuiApplication::queryKeyboardModifiers();
    return (state & modifier) != 0;
}

void CListViewEx::keyPressEvent(QKeyEvent* event)
{
    const EventModifiers scope(m_eventModifiers, event->modifiers());
    OnKeyDown(event->key(), event->modifiers());
    event->accept();
}

void CListViewEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_captured)
    {
        event->accept();
        return;
    }
    const EventModifiers scope(m_eventModifiers, event->modifiers());
    m_downPoint = event->position().toPoint();
    m_ctrlAtDown = ModifierDown(Qt::ControlModifier);
    m_shiftAtDown = ModifierDown(Qt::ShiftModifier);
    if (m_resizingColumn < 0 && !m_ctrlAtDown)
    {
        if (!SelectAtPoint(m_downPoint))
        {
            viewport()->update();
            event->accept();
            return;
        }
    }
    viewport()->update();
    m_captured = true;
    event->accept();
}

void CListViewEx::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_captured)
    {
        if (point != m_downPoint && m_resizingColumn >= 0)
        {
            SetColumnWidth(m_resizingColumn, point.x() + horizontalScrollBar()->value() -
                                                 ColumnLeft(m_resizingColumn));
        }
        event->accept();
        return;
    }
    m_resizingColumn = -1;
    if (point.y() < HeaderHeight() + 4)
    {
        const int x = point.x() + horizontalScrollBar()->value();
        for (int c = 0; c < GetColumnCount(); ++c)
        {
            const int edge = ColumnLeft(c + 1);
            if (x >= edge - 4 && x <= edge + 4)
            {
                m_resizingColumn = c;
                break;
            }
        }
    }
    if (m_resizingColumn >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
    event->accept();
}

void CListViewEx::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_captured)
    {
        event->accept();
        return;
    }
    const EventModifiers scope(m_eventModifiers, event->modifiers());
    if (m_resizingColumn < 0)
    {
        if (m_ctrlAtDown)
            SelectAtPoint(event->position().toPoint());
        if (!m_shiftAtDown && !m_ctrlAtDown)
        {
            EmptySelection();
            if (m_focusRow < GetLineCount())
            {
                m_selection.push_back(static_cast<unsigned>(m_focusRow));
                SetSelectedFlag(m_focusRow, true);
            }
        }
    }
    m_captured = false;
    viewport()->update();
    event->accept();
}

void CListViewEx::OnHeaderDoubleClick(const QPoint& point)
{
    if (point.y() >= HeaderHeight() + 4)
        return;
    const int x = point.x() + horizontalScrollBar()->value();
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        const int edge = ColumnLeft(c + 1);
        if (x >= edge - 4 && x <= edge + 4)
        {
            SetColumnWidth(c, GetFitColumnWidth(c));
            return;
        }
    }
}

void CListViewEx::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnHeaderDoubleClick(event->position().toPoint());
    event->accept();
}

void CListViewEx::OnActivateView(bool active)
{
    m_active = active;
    viewport()->update();
}

void CListViewEx::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange)
        OnActivateView(isActiveWindow());
    QAbstractScrollArea::changeEvent(event);
}

void CListViewEx::paintEvent(QPaintEvent*)
{
    const QSize client = viewport()->size();
    if (client.isEmpty())
        return;
    if (m_buffer.size() != client)
        m_buffer = QImage(client, QImage::Format_RGB32);
    {
        QPainter painter(&m_buffer);
        painter.fillRect(QRect(QPoint(0, 0), client), m_colors.background);
        painter.setFont(m_listFont);
        DrawScreen(painter);
    }
    QPainter screen(viewport());
    screen.drawImage(0, 0, m_buffer);
}

void CListViewEx::DrawScreen(QPainter& painter)
{
    const QSize client = viewport()->size();
    const int h = HeaderHeight();
    const int n = RowNumberWidth();
    const int r = std::max(1, GetRowHeight());
    const int hpos = horizontalScrollBar()->value();
    const int vpos = verticalScrollBar()->value();
    const int last = LastFocusableLine();
    const QPen gridPen(GridLineBrush(), 1);

    painter.save();
    painter.setClipRect(QRect(0, h, client.width(), std::max(0, client.height() - h)));
    int bottom = h;
    for (int line = vpos / r; line <= last; ++line)
    {
        const int y = h + line * r - vpos;
        if (y >= client.height())
            break;
        DrawRow(painter, line, n + 1 - hpos, y);
        if (n > 0)
            DrawRowHeader(painter, line, QRect(-hpos, y, n, r - 1));
        painter.setPen(gridPen);
        painter.drawLine(0, y + r - 1, client.width(), y + r - 1);
        bottom = y + r;
    }
    painter.setPen(gridPen);
    if (n > 0)
        painter.drawLine(n - hpos, h, n - hpos, bottom - 1);
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        const int x = ColumnLeft(c + 1) - hpos;
        painter.drawLine(x, h, x, bottom - 1);
    }
    painter.restore();

    // Header line.
    painter.fillRect(QRect(0, 0, client.width(), h), m_colors.buttonFace);
    painter.setFont(m_headerFont);
    const unsigned titleFormat = TitleFormat;
    if (n > 0)
    {
        const QRect corner(-hpos, 0, n, h);
        DrawRaisedEdge(painter, corner, m_colors.buttonHighlight, m_colors.buttonShadow);
        painter.setPen(m_colors.buttonText);
        DrawGridText(painter, QStringLiteral("No."), corner.adjusted(2, 0, -2, 0), titleFormat);
    }
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        const QRect cell(ColumnLeft(c) + 1 - hpos, 0, m_columns[c].width, h);
        if (cell.right() < 0)
            continue;
        if (cell.left() >= client.width())
            break;
        DrawRaisedEdge(painter, cell, m_colors.buttonHighlight, m_colors.buttonShadow);
        painter.setPen(m_colors.buttonText);
        painter.drawLine(cell.right() + 1, 0, cell.right() + 1, h - 1);
        DrawGridText(painter, m_columns[c].title, cell.adjusted(2, 0, -2, 0), titleFormat);
    }
    painter.setFont(m_listFont);
}

QString CListViewEx::HeaderText(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return QString();
    return ShownGridText(m_headerFont, m_columns[column].title, m_columns[column].width - 4,
                         TitleFormat);
}

void CListViewEx::DrawRowHeader(QPainter& painter, int line, const QRect& rect)
{
    const int number = line + (m_rowNumbersFromOne ? 1 : 0);
    const QString text = m_hexRowNumbers ? QString::number(number, 16) : QString::number(number);
    if (IsRowSelected(line))
    {
        const bool focused = line == m_focusRow && m_active;
        painter.fillRect(rect.adjusted(1, 1, -1, -1),
                         focused ? m_colors.activeCaption : m_colors.inactiveCaption);
        painter.setPen(focused ? m_colors.captionText : m_colors.inactiveCaptionText);
    }
    else
    {
        painter.fillRect(rect, m_colors.activeBorder);
        DrawRaisedEdge(painter, rect, m_colors.buttonHighlight, m_colors.buttonShadow);
        painter.setPen(m_colors.buttonText);
    }
    DrawGridText(painter, text, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CListViewEx::DrawRow(QPainter& painter, int line, int x, int y)
{
    DrawRowCells(painter, line, x, y,
                 [&](int, bool inColumn)
                 {
                     if (m_active && inColumn && line == m_focusRow)
                         return CellFill::Active;
                     if (inColumn && IsRowSelected(line))
                         return CellFill::Inactive;
                     return CellFill::None;
                 });
}

void CListViewEx::DrawRowCells(QPainter& painter, int line, int x, int y,
                               const std::function<CellFill(int column, bool inColumn)>& fill)
{
    const int r = GetRowHeight();
    const QSize client = viewport()->size();
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        const int width = m_columns[c].width;
        const QRect cell(x, y, width, r - 1);
        x += width + 1;
        if (cell.right() < 0)
            continue;
        if (cell.left() >= client.width())
            break;
        switch (fill(c, m_wholeLine || c == m_focusColumn))
        {
        case CellFill::Active:
            painter.fillRect(cell, m_colors.activeCaption);
            painter.setPen(m_colors.captionText);
            break;
        case CellFill::Inactive:
            painter.fillRect(cell, m_colors.inactiveCaption);
            painter.setPen(m_colors.inactiveCaptionText);
            break;
        case CellFill::None:
            painter.setPen(Qt::black);
            break;
        }
        DrawCell(painter, line, c, cell);
    }
    painter.setPen(Qt::black);
}

void CListViewEx::DrawCell(QPainter& painter, int line, int column, const QRect& rect)
{
    const ListCell* cell = GetCell(column, line);
    if (!cell)
        return;
    const QString text = cell->isNumber ? QString::number(cell->number) : cell->text;
    DrawGridText(painter, text, rect, m_columns[column].format);
}
