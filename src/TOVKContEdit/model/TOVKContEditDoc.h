#pragma once
// The content editor's single document: the table of works, its row clipboard, the display
// language, and the XML content file it is read from and written to. No widgets: views
// and the main frame meet it through ContentDocObserver and the title handler.
#include "TOVKContEdit/model/ContentRow.h"
#include "TOVKContEdit/shared/ContentRecord.h"
#include "TOVKContEdit/shared/XmlContentDumFile.h"
#include "platform/CommandLine.h"
#include "platform/ExternalTool.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class CFileVerdicts;

// What the document tells its views (the hint argument of ContentDocObserver::OnUpdate).
enum UpdateHint : int
{
    HintRefreshAll = 1,          // after a sort
    HintStopVoiceRefreshAll = 2, // after open and DeleteContents
    HintStopVoice = 3,           // the playing row is about to be deleted
    HintLanguageTexts = 5,       // the display language changed
};

// A view of the document; UpdateAllViews calls every attached view except the sender.
class ContentDocObserver
{
public:
    virtual ~ContentDocObserver() = default;
    virtual void OnUpdate(ContentDocObserver* sender, int hint) = 0;
};

// Where the output takes its programs and folders from (the application's start-up values).
struct OutputFolders
{
    QString startFolder;   // holds the converter program
    QString convertFolder; // the -d folder
    QString toolFolder;    // handed over as -binpath
};

class CTOVKContEditDoc
{
public:
    CTOVKContEditDoc();
    virtual ~CTOVKContEditDoc();
    CTOVKContEditDoc(const CTOVKContEditDoc&) = delete;
    CTOVKContEditDoc& operator=(const CTOVKContEditDoc&) = delete;

    // --- framework side -------------------------------------------------------------
    void AddView(ContentDocObserver* view);
    void RemoveView(ContentDocObserver* view);
    void UpdateAllViews(ContentDocObserver* sender, int hint);

    QString GetPathName() const { return m_pathName; }
    // Sets the document's file; with addToMru the recent-file handler hears of it.
    void SetPathName(const QString& path, bool addToMru = true);
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    virtual void DeleteContents();
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    // The prompt to save changes (Yes saves, No discards); false when the user cancels
    // or the save did not happen.
    virtual bool SaveModified();
    // Save with a file dialog when path is empty; replace makes the saved file the
    // document's path. False when cancelled or failed.
    bool DoSave(const QString& path, bool replace = true);
    bool DoFileSave();

    // Commands handled by the document.
    void OnFileOpen();
    void OnFileSave() { DoFileSave(); }
    void OnFileSaveAs() { DoSave(QString()); }
    void OnViewLanguage(int language); // 32777 + language
    bool IsViewLanguageChecked(int language) const { return language == m_displayLanguage; }

    // The folder given with -d; the Open command starts in its "input/xml".
    void SetConvertFolder(const QString& folder) { m_convertFolder = folder; }
    QString GetConvertFolder() const { return m_convertFolder; }

    // The main window's text: file name (or "TOVKContent"), " *" when modified, " - ",
    // application title.
    QString GetMainFrameTitle() const;
    void UpdateMainFrameTitle();
    void SetMainFrameTitleHandler(std::function<void(const QString&)> handler);
    void SetRecentFileHandler(std::function<void(const QString&)> handler);

    // --- the table -----------------------------------------------------------------
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    // Rows 0..count-1; any other index gives an empty row that is not part of the table.
    const ContentRow& GetRow(int row) const;
    ContentRow& GetRow(int row);

    int GetDisplayLanguage() const { return m_displayLanguage; }
    int GetClipboardCount() const { return static_cast<int>(m_clipboard.size()); }
    int GetClipboardLanguage() const { return m_clipboardLanguage; }
    const std::vector<ContentRow>& GetClipboard() const { return m_clipboard; }
    bool GetFillUnusedNumbers() const { return m_fillUnusedNumbers; }
    void SetFillUnusedNumbers(bool fill) { m_fillUnusedNumbers = fill; }

    virtual void ClearRows();
    virtual void FreeClipboard();
    virtual void CopyMarkedRows();
    virtual void CutMarkedRows();
    virtual void DeleteRow(int row);
    virtual void DeleteMarkedRows();
    virtual void CopyToClipboard(bool remove);
    virtual bool CanPaste() const;
    // Returns the number of rows really inserted (the table stops at 10,000 rows).
    virtual int PasteRows(int at);
    // False when nothing was inserted (table full).
    virtual bool InsertRow(int at, ContentRow& row);
    virtual void MoveMarkedUp();
    virtual void MoveMarkedDown();
    virtual void ClearMarks();
    // Smallest number in 1..10000 that no row uses; -1 when the table is full.
    virtual int GetFreeItemNumber() const;
    // Index of the new row, -1 when the table is full.
    virtual int AddRow(bool keepUnmodified);
    virtual bool SetCellText(int row, int column, const QString& text, bool check);
    virtual bool SetCellNumber(int row, int column, int value);
    // False when a row other than skipRow (-1: none) has the number.
    virtual bool IsItemNumberFree(int number, int skipRow) const;
    // The output check of one language; defined with the content checks (not virtual, so
    // the document links without it). goOn (may be empty) is asked before each row; false
    // stops the check, which then fails without showing its findings.
    bool CheckLanguage(int language, const std::function<bool()>& goOn = {});
    virtual void SortByItemNumber(bool renumber);
    virtual void SetPlayingRow(int row);

    // --- the XML content file ------------------------------------------------------
    // True when path names an existing file (not a folder) that Load accepts.
    bool CanLoadContentFile(const QString& path);
    // Leaves the saved path for the hub ("LastContentFile").
    static void SaveLastContentFile(const QString& path);

    CXmlContentDumFile& GetXmlFile() { return m_xmlFile; }
    ContentRecords& GetRecords() { return m_records; }
    // The verdicts CheckLanguage keeps while an Output run lasts (none: every file is judged
    // every time).
    void SetFileVerdicts(CFileVerdicts* verdicts) { m_pFileVerdicts = verdicts; }

    // --- the converter's input (TOVKContEditDocOutput.cpp) ---------------------------
    void SetOutputFolders(const OutputFolders& folders) { m_outputFolders = folders; }
    const OutputFolders& GetOutputFolders() const { return m_outputFolders; }
    // The lower-case code of a language ("jp" .. "du").
    static QString OutputLanguageCode(int language);
    static bool EnsureFolder(const QString& path);
    // Makes ConvertFolder/output/contents/<code> a level at a time; false at the first level
    // that cannot be made. Its data files are the run's to set aside.
    bool PrepareOutputFolder(int language, QString* folder);
    QString OutputFolder(int language) const;
    QString ConverterInputPath(int language) const;
    // "marvex" in the start folder, native or through Wine.
    ExternalTool Converter() const;
    // The command line with the paths in the converter's form.
    CommandLine ConverterCommandLine(const ExternalTool& converter, const QString& inputPath,
                                     const QString& outputFolder) const;
    // The record vector as the converter reads it: the rows of the language that have both
    // voice and description, in table order, their files named in the converter's form.
    void FillConverterRecords(int language, const ExternalTool& converter);
    // The languages with any picture, voice or description in some row.
    std::array<bool, LanguageCount> ContentLanguages() const;

protected:
    // SetModifiedFlag(true) and the title refreshed.
    void SetModified();
    // The records a save writes: per row, one for every language with content.
    void FillSaveRecords();
    // Fills the table from m_records; false when rows were dropped at the table limit.
    bool FillRowsFromRecords();
    // OnOpenDocument of a file opened already.
    bool OpenFrom(const QString& path, const Path::ReadOnlyFile& file);
    // The title part of the template string or the file name.
    QString GetTitle() const;
    // An empty row (display language, image count 2) with that number; returns its index.
    int AppendEmptyRow(int itemNumber);

private:
    std::vector<ContentRow> m_rows;
    std::vector<ContentRow> m_clipboard;
    int m_displayLanguage = 0;
    int m_clipboardLanguage = -1;
    bool m_fillUnusedNumbers = false;
    CFileVerdicts* m_pFileVerdicts = nullptr;
    OutputFolders m_outputFolders;
    CXmlContentDumFile m_xmlFile;
    ContentRecords m_records;
    ContentRow m_outside; // what GetRow gives for an index outside the table

    QString m_pathName;
    std::optional<Path::FileIdentity> m_diskFile; // the file as read or last written
    bool m_modified = false;
    QString m_convertFolder;
    std::vector<ContentDocObserver*> m_views;
    std::function<void(const QString&)> m_titleHandler;
    std::function<void(const QString&)> m_recentFileHandler;
};
