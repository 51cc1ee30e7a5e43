#pragma once
// Owner-drawn grid: a header of column titles, an optional row-number column, lines of
// cells stored column by column, a selection of whole lines kept in selection order, a
// focus cell, keyboard and mouse navigation and column resizing on the header dividers.
#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

// Text format flags of a column, with the meanings of the Windows DrawText flags.
constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_NOPREFIX = 0x0800;
constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// Draws the text inside the rectangle the way DrawText would with these flags.
void DrawGridText(QPainter& painter, const QString& text, const QRect& rect, unsigned format);
// The text as DrawGridText shows it in a rectangle of this width: a single line that does
// not fit is shortened with an ellipsis where the format asks for one.
QString ShownGridText(const QFont& font, const QString& text, int width, unsigned format);
// The width DrawText would calculate for the text with these flags.
int MeasureGridText(const QFont& font, const QString& text, unsigned format);

struct ListCell
{
    bool isNumber = false;
    int number = 0;
    QString text;

    static ListCell Number(int value) { return ListCell{true, value, QString()}; }
    static ListCell Text(const QString& value) { return ListCell{false, 0, value}; }
};

// The system colours the grid draws with.
struct GridColors
{
    QColor background{255, 255, 255};
    QColor buttonFace{212, 208, 200};
    QColor buttonText{0, 0, 0};
    QColor buttonHighlight{255, 255, 255};
    QColor buttonShadow{128, 128, 128};
    QColor activeBorder{212, 208, 200};
    QColor activeCaption{10, 36, 106};
    QColor captionText{255, 255, 255};
    QColor inactiveCaption{128, 128, 128};
    QColor inactiveCaptionText{212, 208, 200};
};

class CListViewEx : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int MaxColumns = 256;
    static constexpr int MaxTextLength = 65536;

    explicit CListViewEx(QWidget* parent = nullptr);
    ~CListViewEx() override;

    int AddColumn(const QString& title, unsigned format, int width, int editorKind,
                  unsigned editorStyle);
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    int GetLineCount() const;
    const ListCell* GetCell(int column, int line) const;
    QString GetColumnTitle(int column) const;
    unsigned GetColumnFormat(int column) const;

    virtual int AddCellText(int column, const QString& text);
    virtual int AppendCell(int column, const ListCell& cell);
    virtual bool InsertCellText(int column, int line, const QString& text);
    virtual bool InsertCell(int column, int line, const ListCell& cell);
    // Draws the whole client area into the painter (the grid's one buffer).
    virtual void DrawScreen(QPainter& painter);
    virtual void UpdateScrollSizes();
    virtual void SetCellText(int column, int line, const QString& text);
    virtual bool CanCopy() const;
    virtual bool CanPaste() const;
    virtual void DrawRowHeader(QPainter& painter, int line, const QRect& rect);
    virtual void DrawRow(QPainter& painter, int line, int x, int y);
    virtual void DrawCell(QPainter& painter, int line, int column, const QRect& rect);
    virtual int GetRowHeight() const;
    virtual void SetFocusColumn(int column);
    virtual void SetFocusRow(int line, bool select);
    virtual void SelectRow(int line, bool add);
    virtual void MoveFocusNext();
    virtual void MoveFocusPrev();
    virtual void MoveFocusRowNext();
    virtual void MoveFocusRowPrev();
    virtual bool IsRowSelected(int line) const;
    virtual int GetColumnWidth(int column) const;
    virtual int GetSelectedCount() const;
    virtual int GetSelectedRow(int index) const;
    virtual void FreeAllCells();
    virtual int SetColumnWidth(int column, int width);
    // Line and column under a point of the client area; -1 where there is none.
    virtual void HitTest(const QPoint& point, int& line, int& column) const;
    virtual bool SelectAtPoint(const QPoint& point);
    virtual bool CanEditCell(int line, int column) const;
    virtual int GetFitColumnWidth(int column);
    virtual QRect GetCellRect(int column, int line) const;
    enum EnsureVisibleMode
    {
        EnsureRow = 1,
        EnsureColumnAndRow = 3
    };
    virtual void EnsureVisible(int column, int line, int mode);
    virtual void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
    virtual void OnEditDelete();
    virtual bool OnUpdateEditDelete() const;

    virtual void OnInitialUpdate();
    virtual void OnActivateView(bool active);

    // Command state of the clipboard commands as the frame asks for it.
    bool OnUpdateEditCopy() const { return m_clipboardEnabled && CanCopy(); }
    bool OnUpdateEditPaste() const { return m_clipboardEnabled && CanPaste(); }

    int GetFocusRow() const { return m_focusRow; }
    int GetFocusColumn() const { return m_focusColumn; }
    int GetAnchor() const { return m_anchor; }
    bool IsActiveView() const { return m_active; }
    bool IsCaptured() const { return m_captured; }
    int GetResizingColumn() const { return m_resizingColumn; }
    int HeaderHeight() const { return m_fontHeight + 4; }
    int RowNumberWidth() const { return m_showRowNumbers ? m_rowNumberWidth : 0; }
    int ColumnLeft(int column) const;
    const QFont& ListFont() const { return m_listFont; }
    const QFont& HeaderFont() const { return m_headerFont; }
    // The column's title as the header line shows it at the column's width.
    QString HeaderText(int column) const;
    const GridColors& Colors() const { return m_colors; }

    void SetShowRowNumbers(bool on) { m_showRowNumbers = on; }
    void SetWholeLineHighlight(bool on) { m_wholeLine = on; }
    bool WholeLineHighlight() const { return m_wholeLine; }
    void SetKeepSelection(bool on) { m_keepSelection = on; }
    void SetMultipleSelection(bool on) { m_multipleSelection = on; }
    void SetAppendLine(bool on) { m_appendLine = on; }
    bool AppendLine() const { return m_appendLine; }
    void SetMaximumColumnWidth(int width) { m_maxColumnWidth = width; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

    // The header-band double-click: fits the column under the divider.
    void OnHeaderDoubleClick(const QPoint& point);
    void EmptySelection();
    // Puts a prepared cell in place of the line's cell of the column.
    void ReplaceCell(int column, int line, const ListCell& cell);
    // Redraw switch around bulk changes (the original's WM_SETREDRAW).
    void SetRedraw(bool on);
    // Shift and Ctrl as the input event being handled carries them, else as the keyboard
    // holds them now: a command chosen from a menu must not see a key that went up while
    // the grid had no input.
    bool ModifierDown(Qt::KeyboardModifier modifier) const;

    // How DrawRow fills a cell: not at all (the background stays as drawn), or in the active
    // or the inactive caption colours.
    enum class CellFill
    {
        None,
        Active,
        Inactive
    };
    // One line cell by cell, left to right, each cell the column width wide and the row
    // height high with one pixel between cells: filled as `fill` says for the column (told
    // whether the highlight covers the column: whole line or focus column), then DrawCell;
    // the text colour is restored.
    void DrawRowCells(QPainter& painter, int line, int x, int y,
                      const std::function<CellFill(int column, bool inColumn)>& fill);

    bool m_refreshing = false; // true while a derived view rebuilds the lines

private:
    struct Column
    {
        QString title;
        unsigned format = 0;
        int width = 0;
        int editorKind = 0;
        unsigned editorStyle = 0;
        std::vector<ListCell> cells;
    };

    void BuildFonts();
    void UpdateScrollBars();
    int TotalWidth() const;
    int TotalHeight() const;
    void SetSelectedFlag(int line, bool on);
    int LastFocusableLine() const;

    std::vector<Column> m_columns;
    std::vector<unsigned> m_selection;
    std::vector<char> m_selectedFlags;
    int m_anchor = -1;
    int m_focusRow = 0;
    int m_focusColumn = 0;
    bool m_captured = false;
    QPoint m_downPoint;
    bool m_ctrlAtDown = false;
    bool m_shiftAtDown = false;
    int m_resizingColumn = -1;
    std::optional<Qt::KeyboardModifiers> m_eventModifiers;

    bool m_showRowNumbers = false;
    int m_rowNumberWidth = 30;
    bool m_rowNumbersFromOne = true;
    bool m_hexRowNumbers = false;
    bool m_appendLine = true;
    bool m_wholeLine = false;
    bool m_multipleSelection = true;
    bool m_keepSelection = false;
    bool m_clipboardEnabled = true;
    bool m_boldHeader = false;
    int m_minColumnWidth = 10;
    int m_maxColumnWidth = -1;
    int m_maxNumber = 2147483647;
    bool m_active = false;

    GridColors m_colors;
    QFont m_listFont;
    QFont m_headerFont;
    int m_fontHeight = 12;
    int m_totalWidth = 0;
    int m_totalHeight = 0;
    QImage m_buffer;
};
