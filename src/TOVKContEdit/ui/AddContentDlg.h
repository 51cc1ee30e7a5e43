#pragma once
// The dialog in which one content item is entered or edited (template 138): item number,
// comment, and per language two pictures, a voice and a description, one tab per
// language. Files come from browse buttons or are dropped on the path fields and previews.
#include "TOVKContEdit/model/ContentRow.h"
#include "TOVKContEdit/shared/ImageEx.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <array>

class CAddContentDlg;
class CTOVKContEditDoc;
class QComboBox;
class QMimeData;
class QPushButton;
class QToolButton;
class QTabBar;

// The longest dropped path taken; a longer one is refused rather than cut.
constexpr int MaxDroppedPathLength = 520;

// The first local file of a drop, empty when none or when its path is too long.
QString FirstDroppedFile(const QMimeData* data, int maxLength);

// An edit field that takes dropped files and tells the dialog of its changes.
class CDropEdit : public QLineEdit
{
    Q_OBJECT
public:
    CDropEdit(CAddContentDlg* owner, int kind, QWidget* parent);
    int Kind() const { return m_nKind; }
    void SetKind(int kind);
    // Only the picture and voice fields take dropped files; the others take no drag at all.
    bool TakesFiles() const;
    void OnEnChange();
    // Dispatches the queued events.
    virtual void PumpMessages();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CAddContentDlg* m_pOwner;
    int m_nKind;
};

// The multi-line description field: Ctrl+Enter enters a line break, Enter alone does not.
class CDescriptionEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    CDescriptionEdit(CAddContentDlg* owner, QWidget* parent);
    // The text with CR LF line breaks, as the edit control holds it.
    QString Text() const;
    void SetText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The description takes no drop: a dropped file would only insert its address.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    CAddContentDlg* m_pOwner;
};

// The up-down control of the item number: steps its buddy edit within its range.
class CSpinButton : public QWidget
{
    Q_OBJECT
public:
    CSpinButton(QLineEdit* buddy, QWidget* parent);
    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    // Moves the buddy's number by delta, kept inside the range.
    void Step(int delta);
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_lower = 0;
    int m_upper = 100;
};

// A picture preview that takes dropped files.
class CDropStatic : public QLabel
{
    Q_OBJECT
public:
    CDropStatic(CAddContentDlg* owner, int kind, QWidget* parent);
    int Kind() const { return m_nKind; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    CAddContentDlg* m_pOwner;
    int m_nKind;
};

class CAddContentDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAddContentDlg(CTOVKContEditDoc* owner, QWidget* parent = nullptr);
    ~CAddContentDlg() override;

    // OnInitDialog, then modal; IDOK or IDCANCEL.
    int DoModal();

    virtual void BrowseImage(unsigned buttonId);
    virtual void BrowseVoice();
    virtual bool CheckItemNumberInput();
    virtual void OnImagePathChanged(int kind);
    virtual void UpdateImagePreview(int kind);
    virtual void UpdateDescriptionLimits();
    virtual void OnDropFile(int kind, const QString& path);
    virtual void ExchangeLanguageFields(bool save);
    virtual bool CheckVoice(int language);
    virtual bool CheckImages(int language);
    virtual bool CheckItemNumberUnused();
    virtual bool CheckDescription(int language);

    virtual void DoDataExchange(bool save);
    virtual bool OnInitDialog();
    void OnBnClickedOk();
    void OnTcnSelchangeTab(int newTab);
    bool HasData(int language) const;

    // Set by the caller before DoModal, read back after IDOK.
    CTOVKContEditDoc* m_pOwner;
    int m_nRowIndex = -1;
    int m_nLanguage = 0;
    int m_nCurrentTab = 0;
    int m_nItemNumber = 1;
    QString m_strComment;
    LanguageStrings m_strImage1;
    LanguageStrings m_strImage2;
    LanguageStrings m_strVoice;
    LanguageStrings m_strDescription;
    std::array<int, LanguageCount> m_bOverLimit{};
    // The project folder (the -d folder); the browse dialogs start below it.
    QString m_strProjectFolder;

    // The fields of the current tab as exchanged with the controls.
    QString m_strEditImage1;
    QString m_strEditImage2;
    QString m_strEditVoice;
    QString m_strEditDescription;

    // The controls, for the tests and the layout.
    CDropEdit* ItemNumberEdit() const { return m_editItemNumber; }
    QLineEdit* CommentEdit() const { return m_editComment; }
    CDropEdit* Image1Edit() const { return m_editImage1; }
    CDropEdit* Image2Edit() const { return m_editImage2; }
    CDropEdit* VoiceEdit() const { return m_editVoice; }
    CDescriptionEdit* DescriptionEdit() const { return m_editDescription; }
    CDropStatic* Image1Preview() const { return m_preview1; }
    CDropStatic* Image2Preview() const { return m_preview2; }
    QLabel* PixelStatus() const { return m_pixelStatus; }
    QLabel* LineStatus() const { return m_lineStatus; }
    QTabBar* TabBar() const { return m_tab; }
    CSpinButton* Spin() const { return m_spin; }
    bool IsInitialised() const { return m_initialised; }
    // True while the controls are being written from the members.
    bool IsExchanging() const { return m_exchanging; }

    // Set while one of the item-number messages is open: further changes fail quietly.
    static bool IsQuiet();

private:
    void BuildControls();
    void Browse(int kind);
    QLabel* PreviewOf(int kind) const;
    QString& PathOfKind(int kind);
    bool CheckImage(int language, int picture);

    CDropEdit* m_editItemNumber = nullptr;
    CSpinButton* m_spin = nullptr;
    QLineEdit* m_editComment = nullptr;
    QComboBox* m_comboLanguage = nullptr;
    CDropEdit* m_editVoice = nullptr;
    CDropEdit* m_editImage1 = nullptr;
    CDropEdit* m_editImage2 = nullptr;
    CDropStatic* m_preview1 = nullptr;
    CDropStatic* m_preview2 = nullptr;
    CDescriptionEdit* m_editDescription = nullptr;
    QLabel* m_pixelStatus = nullptr;
    QLabel* m_lineStatus = nullptr;
    QTabBar* m_tab = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    CImageEx m_image1;
    CImageEx m_image2;
    bool m_initialised = false;
    bool m_exchanging = false;
};
