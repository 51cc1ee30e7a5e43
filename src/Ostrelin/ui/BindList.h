#pragma once
// The report lists of the hub's pages and dialogs: rows of cell texts with a state image
// and item data, rebuilt in one piece from the project, with the header rule that no column
// ends narrower than 10 pixels.
#include <QAbstractTableModel>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <vector>

class QHeaderView;

// The state images of the lists (bitmap 147): blank, tick, exclamation mark.
enum EStateImage
{
    StateBlank = 0,
    StateOk = 1,
    StateError = 2,
};

// The 48 x 16 strip with magenta (255, 0, 255) as key colour.
QImage StateBitmap();
// One 16 x 16 image of the strip, magenta made transparent.
QPixmap StateImage(int index);

// A column that ends narrower than 10 pixels is set to 10 pixels.
void OnHeaderEndTrack(QHeaderView* header, int column);
// Routes every resize of the header's columns through OnHeaderEndTrack.
void InstallHeaderEndTrack(QHeaderView* header);

struct ReportRow
{
    QStringList texts;
    int image = StateBlank;
    qintptr data = 0;
};

class CReportModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetTitles(const QStringList& titles);
    void SetStateImages(bool on) { m_images = on; }
    void SetRows(std::vector<ReportRow> rows);
    void InsertRow(int position, ReportRow row);
    const std::vector<ReportRow>& Rows() const { return m_rows; }
    // Reorders the rows (stable); the comparison returns <0, 0 or >0.
    void Sort(const std::function<int(const ReportRow&, const ReportRow&)>& compare);

private:
    QStringList m_titles;
    std::vector<ReportRow> m_rows;
    bool m_images = false;
};

// The list control of a page: report view, full-row selection, grid lines.
class CReportList : public QTableView
{
    Q_OBJECT
public:
    CReportList(QWidget* parent, bool multipleSelection, bool clickableHeader);

    // Titles and widths in pixels.
    void SetColumns(const QStringList& titles, const QList<int>& widths);
    void SetStateImages(bool on) { m_model.SetStateImages(on); }

    void DeleteAllItems() { m_model.SetRows({}); }
    void SetRows(std::vector<ReportRow> rows) { m_model.SetRows(std::move(rows)); }
    void InsertItem(int position, ReportRow row) { m_model.InsertRow(position, std::move(row)); }
    void SortItems(const std::function<int(const ReportRow&, const ReportRow&)>& compare);

    int GetItemCount() const { return int(m_model.Rows().size()); }
    QString GetItemText(int row, int column) const;
    int GetItemImage(int row) const;
    qintptr GetItemData(int row) const;

    // Selected rows, top to bottom.
    QList<int> GetSelectedRows() const;
    int GetSelectedCount() const;
    void SetItemState(int row, bool selected, bool focused);
    int GetFocusedRow() const;

    // Index of the first visible row; rows that fit in the list.
    int GetTopIndex() const;
    int GetCountPerPage() const;
    int GetRowHeight() const;
    // Scrolls so that row `index` is the top row (as far as the list can scroll).
    void ScrollToTopIndex(int index);
    // Keeps the top row, moved just enough to show `row`; then selects and focuses it.
    void RevealAndFocus(int row, int top);

    // The header's sort arrow: +1 descending, -1 ascending, 0 none.
    void SetSortArrow(int column, int direction);
    void ClearSortArrow(int column);
    int SortArrow(int column) const;

    const std::vector<ReportRow>& Rows() const { return m_model.Rows(); }

signals:
    void ItemDoubleClicked();
    void ColumnClicked(int column);

private:
    CReportModel m_model;
    int m_arrowColumn = -1;
    int m_arrowDirection = 0;
};

// Reads the leading decimal digits of a text (0 when there are none), saturating.
qint64 LeadingNumber(const QString& text);
// Compares without regard to case, folding only A-Z and a-z.
int CompareNoCase(const QString& a, const QString& b);
// Reads the whole text as a decimal number in [min, max]; -1 when it is not one.
int ReadNumberIn(const QString& text, int min, int max);
