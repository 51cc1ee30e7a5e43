#include "Ostrelin/ui/BindList.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <algorithm>

namespace
{
constexpr int kImageSize = 16;
constexpr int kMinColumnWidth = 10;
const QColor kKeyColor(255, 0, 255);

void DrawTick(QPainter& painter, int left)
{
    QPen pen(QColor(0, 128, 0), 2.5);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    const QPointF points[] = {{left + 3.0, 8.5}, {left + 6.5, 12.0}, {left + 13.0, 4.0}};
    painter.drawPolyline(points, 3);
}

void DrawExclamation(QPainter& painter, int left)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(QRectF(left + 0.5, 0.5, 15.0, 15.0));
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(QColor(255, 230, 0));
    painter.drawRect(QRectF(left + 6.5, 2.5, 3.0, 7.0));
    painter.drawRect(QRectF(left + 6.5, 11.0, 3.0, 2.5));
}
} // namespace

QImage StateBitmap()
{
    QImage strip(3 * kImageSize, kImageSize, QImage::Format_RGB32);
    strip.fill(kKeyColor);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawTick(painter, kImageSize);
    DrawExclamation(painter, 2 * kImageSize);
    painter.end();
    return strip;
}

QPixmap StateImage(int index)
{
    static const std::vector<QPixmap> images = []
    {
        const QImage strip = StateBitmap();
        std::vector<QPixmap> cut;
        for (int i = 0; i < 3; ++i)
        {
            QImage part = strip.copy(i * kImageSize, 0, kImageSize, kImageSize)
                              .convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < part.height(); ++y)
            {
                auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
                for (int x = 0; x < part.width(); ++x)
                {
                    if ((line[x] & 0xFFFFFF) == (kKeyColor.rgb() & 0xFFFFFF))
                        line[x] = 0;
                }
            }
            cut.push_back(QPixmap::fromImage(part));
        }
        return cut;
    }();
    if (index < 0 || index >= int(images.size()))
        return images[StateBlank];
    return images[std::size_t(index)];
}

void OnHeaderEndTrack(QHeaderView* header, int column)
{
    if (header != nullptr && header->sectionSize(column) < kMinColumnWidth)
        header->resizeSection(column, kMinColumnWidth);
}

void InstallHeaderEndTrack(QHeaderView* header)
{
    header->setMinimumSectionSize(1);
    QObject::connect(header, &QHeaderView::sectionResized, header,
                     [header](int column, int, int) { OnHeaderEndTrack(header, column); });
}

int CReportModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CReportModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant CReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const ReportRow& row = m_rows[std::size_t(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() < row.texts.size() ? row.texts[index.column()] : QString();
    if (role == Qt::DecorationRole && m_images && index.column() == 0)
        return StateImage(row.image);
    return {};
}

QVariant CReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_titles.size())
        return m_titles[section];
    return {};
}

void CReportModel::SetTitles(const QStringList& titles)
{
    beginResetModel();
    m_titles = titles;
    endResetModel();
}

void CReportModel::SetRows(std::vector<ReportRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CReportModel::InsertRow(int position, ReportRow row)
{
    position = std::clamp(position, 0, int(m_rows.size()));
    beginInsertRows({}, position, position);
    m_rows.insert(m_rows.begin() + position, std::move(row));
    endInsertRows();
}

void CReportModel::Sort(const std::function<int(const ReportRow&, const ReportRow&)>& compare)
{
    beginResetModel();
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [&](const ReportRow& a, const ReportRow& b) { return compare(a, b) < 0; });
    endResetModel();
}

CReportList::CReportList(QWidget* parent, bool multipleSelection, bool clickableHeader)
    : QTableView(parent), m_model(this)
{
    setModel(&m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multipleSelection ? QAbstractItemView::ExtendedSelection
                                       : QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setIconSize(QSize(kImageSize, kImageSize));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(kImageSize + 2, fontMetrics().height() + 4));
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsClickable(clickableHeader);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    InstallHeaderEndTrack(horizontalHeader());
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit ItemDoubleClicked(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit ColumnClicked(column); });
}

void CReportList::SetColumns(const QStringList& titles, const QList<int>& widths)
{
    m_model.SetTitles(titles);
    for (int i = 0; i < widths.size(); ++i)
        horizontalHeader()->resizeSection(i, widths[i]);
}

void CReportList::SortItems(const std::function<int(const ReportRow&, const ReportRow&)>& compare)
{
    m_model.Sort(compare);
}

QString CReportList::GetItemText(int row, int column) const
{
    if (row < 0 || row >= GetItemCount())
        return {};
    const QStringList& texts = m_model.Rows()[std::size_t(row)].texts;
    return column >= 0 && column < texts.size() ? texts[column] : QString();
}

int CReportList::GetItemImage(int row) const
{
    return row < 0 || row >= GetItemCount() ? StateBlank : m_model.Rows()[std::size_t(row)].image;
}

qintptr CReportList::GetItemData(int row) const
{
    return row < 0 || row >= GetItemCount() ? 0 : m_model.Rows()[std::size_t(row)].data;
}

QList<int> CReportList::GetSelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CReportList::GetSelectedCount() const
{
    return int(selectionModel()->selectedRows().size());
}

void CReportList::SetItemState(int row, bool selected, bool focused)
{
    if (row < 0 || row >= GetItemCount())
        return;
    const QModelIndex index = m_model.index(row, 0);
    const auto flags = (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                       QItemSelectionModel::Rows;
    if (focused)
        selectionModel()->setCurrentIndex(index, flags);
    else
        selectionModel()->select(index, flags);
}

int CReportList::GetFocusedRow() const
{
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int CReportList::GetTopIndex() const
{
    return std::clamp(verticalScrollBar()->value(), 0, std::max(0, GetItemCount() - 1));
}

int CReportList::GetCountPerPage() const
{
    const int height = std::max(1, GetRowHeight());
    return std::max(1, viewport()->height() / height);
}

int CReportList::GetRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void CReportList::ScrollToTopIndex(int index)
{
    updateGeometries();
    verticalScrollBar()->setValue(std::max(0, index));
}

void CReportList::RevealAndFocus(int row, int top)
{
    const int perPage = GetCountPerPage();
    if (top < row - perPage + 1)
        top = row - perPage + 1;
    if (top > row)
        top = row;
    ScrollToTopIndex(top);
    SetItemState(row, true, true);
}

void CReportList::SetSortArrow(int column, int direction)
{
    ClearSortArrow(column);
    if (direction == 0)
        return;
    m_arrowColumn = column;
    m_arrowDirection = direction > 0 ? 1 : -1;
    horizontalHeader()->setSortIndicatorShown(true);
    // The header draws its ascending order as the down arrow; the lists show ascending with
    // the up arrow and descending with the down arrow.
    horizontalHeader()->setSortIndicator(column,
                                         direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CReportList::ClearSortArrow(int column)
{
    if (column != m_arrowColumn)
        return;
    m_arrowColumn = -1;
    m_arrowDirection = 0;
    horizontalHeader()->setSortIndicatorShown(false);
}

int CReportList::SortArrow(int column) const
{
    return column == m_arrowColumn ? m_arrowDirection : 0;
}

qint64 LeadingNumber(const QString& text)
{
    qint64 value = 0;
    for (QChar c : text)
    {
        if (c < u'0' || c > u'9')
            break;
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), 1'000'000'000'000LL);
    }
    return value;
}

int CompareNoCase(const QString& a, const QString& b)
{
    const auto fold = [](char16_t c) -> char16_t
    { return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c; };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
    {
        const char16_t x = fold(a[i].unicode());
        const char16_t y = fold(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int ReadNumberIn(const QString& text, int min, int max)
{
    if (text.isEmpty() || text[0] < u'0' || text[0] > u'9')
        return -1;
    const qint64 value = LeadingNumber(text);
    return value >= min && value <= max ? int(value) : -1;
}
