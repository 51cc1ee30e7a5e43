#pragma once
// The content editor's view: one grid line per row of the document in the display
// language, the Edit commands, picture thumbnails, files dropped on cells, voice playback.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/model/WavePlayer.h"
#include "TOVKContEdit/ui/ListViewEx.h"

#include <QDateTime>
#include <QHash>
#include <memory>

class CAddContentDlg;
class CMainFrame;
class CSortDlg;
class QMimeData;

// Pictures of the picture columns, decoded once per file and kept until the file changes.
class ThumbnailCache
{
public:
    // The picture scaled into the cell size, or null when the path names no ".bmp" file
    // that can be loaded.
    const QImage* Get(const QString& path, const QSize& cell);
    int Decodes() const { return m_decodes; }
    void Clear() { m_entries.clear(); }

private:
    struct Entry
    {
        qint64 size = -1;
        QDateTime modified;
        QImage picture;
        QImage scaled;
    };
    static constexpr int MaxEntries = 512;
    QHash<QString, Entry> m_entries;
    int m_decodes = 0;
};

class CTOVKContEditView : public CListViewEx, public ContentDocObserver
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 8;
    static const int DefaultWidths[ColumnCount];

    explicit CTOVKContEditView(CTOVKContEditDoc& doc, std::unique_ptr<WaveOut> output = nullptr,
                               QWidget* parent = nullptr);
    ~CTOVKContEditView() override;

    // The view as the program makes it: commands registered with the frame, initial update.
    static CTOVKContEditView* Create(CTOVKContEditDoc& doc, CMainFrame& frame);
    void RegisterCommands(CMainFrame& frame);

    CTOVKContEditDoc* GetDocument() const { return &m_doc; }

    virtual void OnEditAdd();
    virtual void OnEditCopy();
    virtual void OnEditCut();
    virtual void OnEditPaste();
    virtual void OnEditMoveUp();
    virtual bool OnUpdateEditMoveUp() const;
    virtual void OnEditMoveDown();
    virtual bool OnUpdateEditMoveDown() const;
    virtual void OnEditPlayVoice();
    virtual bool OnUpdateEditPlayVoice() const;
    virtual void OnEditStopVoice();
    virtual bool OnUpdateEditStopVoice() const;
    virtual void OnEditSort();
    virtual bool OnUpdateEditSort() const;
    virtual void RefreshAll();
    virtual void AppendLastRow();
    virtual void RefreshTexts();
    virtual void RefreshRange(int first, int count);
    virtual void EditRow(int row);

    void OnInitialUpdate() override;
    void OnUpdate(ContentDocObserver* sender, int hint) override;
    void DrawRow(QPainter& painter, int line, int x, int y) override;
    void DrawCell(QPainter& painter, int line, int column, const QRect& rect) override;
    int GetRowHeight() const override;
    int GetFitColumnWidth(int column) override;
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    void OnEditDelete() override;
    bool CanPaste() const override;
    virtual Qt::DropAction OnDragOver(const QMimeData* data, const QPoint& point);
    virtual void OnDragLeave();
    virtual bool OnDrop(const QMimeData* data, const QPoint& point, Qt::DropAction action);
    void OnLButtonDblClk(const QPoint& point);

    int DropHighlightRow() const { return m_dropRow; }
    int DropHighlightColumn() const { return m_dropColumn; }
    CWavePlayer& Player() { return m_player; }
    ThumbnailCache& Thumbnails() { return m_thumbnails; }

protected:
    // The modal runs of the two dialogs; tests answer them.
    virtual int RunAddDialog(CAddContentDlg& dialog);
    virtual int RunSortDialog(CSortDlg& dialog);

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void AddLineCells(int row);
    void InsertLineCells(int line, int row);
    void WriteLineCells(int line, int row);
    ListCell LineCell(int column, const ContentRow& row) const;
    void WriteDialogResult(int row, const CAddContentDlg& dialog);
    void MarkSelectedRows();
    // Cut and delete: the selected rows go through the document's operation, the lines are
    // rebuilt and the focus stays on the same line number.
    void RemoveSelectedRows(void (CTOVKContEditDoc::*remove)());
    void ShowMaxContentMessage();
    void StopVoice();
    void ClearDropHighlight();

    CTOVKContEditDoc& m_doc;
    CWavePlayer m_player;
    ThumbnailCache m_thumbnails;
    int m_dropRow = -1;
    int m_dropColumn = -1;
    bool m_columnsAdded = false;
    bool m_quietLanguageSwitch = false;
};
