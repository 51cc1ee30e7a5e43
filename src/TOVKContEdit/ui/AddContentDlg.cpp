#include "TOVKContEdit/ui/AddContentDlg.h"

#include "TOVKContEdit/model/ContentLimits.h"
#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/resource.h"
#include "framework/DialogLayout.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTextBlock>
#include <QToolButton>
#include <QUrl>

namespace
{
constexpr int MinItemNumber = 1;
constexpr int MaxItemNumberLength = 5;
const QColor StatusTextColor(224, 0, 0);

bool g_quiet = false;

// Sets the quiet flag while an item-number message is open.
void ShowItemNumberMessage(unsigned id)
{
    g_quiet = true;
    AfxMessageBox(id, MB_OK | MB_ICONEXCLAMATION);
    g_quiet = false;
}

bool HasExtension(const QString& path, const char* extension)
{
    return Path::FindExtension(path).toLower() == QLatin1String(extension);
}

bool IsExistingFile(const QString& path)
{
    return !path.isEmpty() && Path::FileExists(path) && !Path::IsDirectory(path);
}

void Show(unsigned id, const QList<QVariant>& args = {})
{
    AfxMessageBox(FormatString(id, args), MB_OK | MB_ICONEXCLAMATION);
}

bool AcceptsFiles(const QMimeData* data)
{
    return data && data->hasUrls();
}
} // namespace

QString FirstDroppedFile(const QMimeData* data, int maxLength)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return QString();
    const QString path = data->urls().first().toLocalFile();
    // A longer path is refused: cutting it could name another file.
    if (path.isEmpty() || path.size() > maxLength)
        return QString();
    return path;
}

// --- CDropEdit -----------------------------------------------------------------------

CDropEdit::CDropEdit(CAddContentDlg* owner, int kind, QWidget* parent)
    : QLineEdit(parent), m_pOwner(owner), m_nKind(kind)
{
    setAcceptDrops(TakesFiles());
    connect(this, &QLineEdit::textChanged, this, [this] { OnEnChange(); });
}

void CDropEdit::SetKind(int kind)
{
    m_nKind = kind;
    setAcceptDrops(TakesFiles());
}

bool CDropEdit::TakesFiles() const
{
    return m_nKind == ColumnImage1 || m_nKind == ColumnImage2 || m_nKind == ColumnVoice;
}

void CDropEdit::OnEnChange()
{
    if (!m_pOwner || m_pOwner->IsExchanging() || !m_pOwner->IsInitialised())
        return;
    switch (m_nKind)
    {
    case ColumnItemNumber:
        if (!m_pOwner->CheckItemNumberInput())
            PumpMessages();
        break;
    case ColumnImage1:
    case ColumnImage2:
        m_pOwner->OnImagePathChanged(m_nKind);
        break;
    case ColumnDescription:
        m_pOwner->UpdateDescriptionLimits();
        break;
    default:
        break;
    }
}

void CDropEdit::PumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CDropEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (!TakesFiles())
        event->ignore();
    else if (AcceptsFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void CDropEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (!TakesFiles())
        event->ignore();
    else if (AcceptsFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void CDropEdit::dropEvent(QDropEvent* event)
{
    if (!TakesFiles())
    {
        event->ignore();
        return;
    }
    if (!AcceptsFiles(event->mimeData()))
    {
        QLineEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    const QString path = FirstDroppedFile(event->mimeData(), MaxDroppedPathLength);
    if (!path.isEmpty() && m_pOwner)
        m_pOwner->OnDropFile(m_nKind, path);
}

void CDropEdit::keyPressEvent(QKeyEvent* event)
{
    // The item number's up-down control takes the arrow keys.
    if (m_nKind == ColumnItemNumber && m_pOwner && m_pOwner->Spin() &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down))
    {
        m_pOwner->Spin()->Step(event->key() == Qt::Key_Up ? 1 : -1);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// --- CDescriptionEdit ----------------------------------------------------------------

CDescriptionEdit::CDescriptionEdit(CAddContentDlg* owner, QWidget* parent)
    : QPlainTextEdit(parent), m_pOwner(owner)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    connect(this, &QPlainTextEdit::textChanged, this,
            [this]
            {
                if (m_pOwner && m_pOwner->IsInitialised() && !m_pOwner->IsExchanging())
                    m_pOwner->UpdateDescriptionLimits();
            });
}

QString CDescriptionEdit::Text() const
{
    // The edit gives LF for its line and paragraph separators; any other break it holds
    // (a pasted CR, U+2028) ends a line too.
    return NormalizeLineBreaks(toPlainText());
}

void CDescriptionEdit::SetText(const QString& text)
{
    QString plain = NormalizeLineBreaks(text);
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (plain != toPlainText())
        setPlainText(plain);
}

void CDescriptionEdit::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier))
    {
        insertPlainText(QStringLiteral("\n"));
        event->accept();
        return;
    }
    if (enter)
    {
        // Enter alone belongs to the dialog's default button.
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CDescriptionEdit::dragEnterEvent(QDragEnterEvent* event)
{
    event->ignore();
}

void CDescriptionEdit::dragMoveEvent(QDragMoveEvent* event)
{
    event->ignore();
}

void CDescriptionEdit::dropEvent(QDropEvent* event)
{
    event->ignore();
}

// --- CSpinButton ---------------------------------------------------------------------

CSpinButton::CSpinButton(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setAutoRepeat(true);
    m_down->setAutoRepeat(true);
    m_up->setFocusPolicy(Qt::NoFocus);
    m_down->setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CSpinButton::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

void CSpinButton::Step(int delta)
{
    if (!m_buddy)
        return;
    bool ok = false;
    int value = m_buddy->text().toInt(&ok);
    if (!ok)
        value = m_lower;
    else
        value = std::clamp(value + delta, m_lower, m_upper);
    m_buddy->setText(QString::number(value));
}

void CSpinButton::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

// --- CDropStatic ---------------------------------------------------------------------

CDropStatic::CDropStatic(CAddContentDlg* owner, int kind, QWidget* parent)
    : QLabel(parent), m_pOwner(owner), m_nKind(kind)
{
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
}

void CDropStatic::dragEnterEvent(QDragEnterEvent* event)
{
    if (AcceptsFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CDropStatic::dragMoveEvent(QDragMoveEvent* event)
{
    if (AcceptsFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CDropStatic::dropEvent(QDropEvent* event)
{
    const QString path = FirstDroppedFile(event->mimeData(), MaxDroppedPathLength);
    event->acceptProposedAction();
    if (!path.isEmpty() && m_pOwner)
        m_pOwner->OnDropFile(m_nKind, path);
}

// --- CAddContentDlg ------------------------------------------------------------------

bool CAddContentDlg::IsQuiet()
{
    return g_quiet;
}

CAddContentDlg::CAddContentDlg(CTOVKContEditDoc* owner, QWidget* parent)
    : QDialog(parent), m_pOwner(owner)
{
    BuildControls();
}

CAddContentDlg::~CAddContentDlg() = default;

void CAddContentDlg::BuildControls()
{
    const DialogLayout layout(DialogLayout::DialogFont(QStringLiteral("MS Shell Dlg"), 8));
    layout.SizeDialog(this, 456, 268);
    setObjectName(QString::number(IDD_ADD_CONTENT));
    setWindowTitle(Strings::Load(IDS_ADD_CAPTION));

    // The tab control lies behind the language fields.
    auto* tabFrame = new QFrame(this);
    tabFrame->setFrameShape(QFrame::StyledPanel);
    m_tab = new QTabBar(this);
    m_tab->setObjectName(QString::number(IDC_LANGUAGE_TAB));
    m_tab->setExpanding(false);
    m_tab->setDrawBase(false);
    const QRect tabRect = layout.Rect(7, 36, 442, 202);
    const int tabHeight = layout.Y(14);
    m_tab->setGeometry(tabRect.x(), tabRect.y(), tabRect.width(), tabHeight);
    tabFrame->setGeometry(tabRect.x(), tabRect.y() + tabHeight - 1, tabRect.width(),
                          tabRect.height() - tabHeight + 1);
    connect(m_tab, &QTabBar::currentChanged, this,
            [this](int index)
            {
                if (m_initialised && index >= 0 && index != m_nCurrentTab)
                    OnTcnSelchangeTab(index);
            });

    auto label = [&](unsigned textId, int x, int y, int cx, int cy)
    {
        auto* text = new QLabel(Strings::Load(textId), this);
        text->setTextFormat(Qt::PlainText);
        layout.Place(text, x, y, cx, cy);
        return text;
    };
    auto named = [](QWidget* control, unsigned id)
    {
        control->setObjectName(QString::number(id));
        return control;
    };

    label(IDS_ADD_ITEM_NUMBER, 7, 19, 43, 8);
    m_editItemNumber = new CDropEdit(this, ColumnItemNumber, this);
    named(m_editItemNumber, IDC_ITEM_NUMBER);
    m_editItemNumber->setAlignment(Qt::AlignRight);
    m_editItemNumber->setMaxLength(MaxItemNumberLength);
    layout.Place(m_editItemNumber, 52, 17, 40, 14);
    m_spin = new CSpinButton(m_editItemNumber, this);
    named(m_spin, IDC_ITEM_NUMBER_SPIN);
    m_spin->SetRange(MinItemNumber, MaxContentRows);
    layout.Place(m_spin, 92, 17, 11, 14);

    label(IDS_ADD_COMMENT, 126, 20, 33, 8);
    m_editComment = new QLineEdit(this);
    named(m_editComment, IDC_COMMENT);
    layout.Place(m_editComment, 159, 17, 282, 14);

    label(IDS_ADD_LANGUAGE, 7, 58, 43, 8)->hide();
    m_comboLanguage = new QComboBox(this);
    named(m_comboLanguage, IDC_LANGUAGE_COMBO);
    for (int lang = 0; lang < LanguageCount; ++lang)
        m_comboLanguage->addItem(LanguageName(lang));
    layout.Place(m_comboLanguage, 54, 57, 48, 14);
    m_comboLanguage->hide();

    auto browse = [&](unsigned id, int x, int y)
    {
        auto* button = new QPushButton(Strings::Load(IDS_ADD_BROWSE), this);
        named(button, id);
        button->setAutoDefault(false);
        layout.Place(button, x, y, 17, 14);
        return button;
    };

    label(IDS_ADD_VOICE, 237, 58, 22, 8);
    m_editVoice = new CDropEdit(this, ColumnVoice, this);
    named(m_editVoice, IDC_VOICE_PATH);
    layout.Place(m_editVoice, 262, 55, 164, 14);
    connect(browse(IDC_BROWSE_VOICE, 426, 55), &QPushButton::clicked, this,
            [this] { BrowseVoice(); });

    label(IDS_ADD_IMAGE1, 17, 79, 33, 8);
    m_editImage1 = new CDropEdit(this, ColumnImage1, this);
    named(m_editImage1, IDC_IMAGE1_PATH);
    layout.Place(m_editImage1, 54, 78, 155, 14);
    connect(browse(IDC_BROWSE_IMAGE1, 209, 78), &QPushButton::clicked, this,
            [this] { BrowseImage(IDC_BROWSE_IMAGE1); });
    m_preview1 = new CDropStatic(this, ColumnImage1, this);
    named(m_preview1, IDC_IMAGE1_PREVIEW);
    m_preview1->setAcceptDrops(true);
    layout.Place(m_preview1, 54, 98, 96, 64);

    label(IDS_ADD_IMAGE2, 231, 81, 28, 8);
    m_editImage2 = new CDropEdit(this, ColumnImage2, this);
    named(m_editImage2, IDC_IMAGE2_PATH);
    layout.Place(m_editImage2, 262, 78, 164, 14);
    connect(browse(IDC_BROWSE_IMAGE2, 426, 78), &QPushButton::clicked, this,
            [this] { BrowseImage(IDC_BROWSE_IMAGE2); });
    m_preview2 = new CDropStatic(this, ColumnImage2, this);
    named(m_preview2, IDC_IMAGE2_PREVIEW);
    m_preview2->setAcceptDrops(true);
    layout.Place(m_preview2, 262, 98, 96, 64);

    label(IDS_ADD_DESCRIPTION, 8, 165, 54, 8);
    m_editDescription = new CDescriptionEdit(this, this);
    named(m_editDescription, IDC_DESCRIPTION);
    layout.Place(m_editDescription, 54, 174, 155, 38);

    auto status = [&](unsigned id, unsigned textId, int x, int y, int cx, int cy)
    {
        auto* text = new QLabel(Strings::Load(textId), this);
        named(text, id);
        text->setTextFormat(Qt::PlainText);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setFrameShape(QFrame::StyledPanel);
        text->setFrameShadow(QFrame::Sunken);
        QPalette palette = text->palette();
        palette.setColor(QPalette::WindowText, StatusTextColor);
        text->setPalette(palette);
        layout.Place(text, x, y, cx, cy);
        return text;
    };
    m_pixelStatus = status(IDC_PIXEL_STATUS, IDS_ADD_PIXEL_STATUS, 214, 175, 229, 35);
    m_lineStatus = status(IDC_LINE_STATUS, IDS_ADD_LINE_STATUS, 54, 217, 155, 12);
    label(IDS_ADD_DESCRIPTION_NOTE, 216, 215, 227, 17)->setWordWrap(true);

    m_ok = new QPushButton(Strings::Load(IDS_DIALOG_OK), this);
    named(m_ok, IDOK);
    m_ok->setDefault(true);
    layout.Place(m_ok, 7, 247, 50, 14);
    connect(m_ok, &QPushButton::clicked, this, &CAddContentDlg::OnBnClickedOk);
    m_cancel = new QPushButton(Strings::Load(IDS_DIALOG_CANCEL), this);
    named(m_cancel, IDCANCEL);
    m_cancel->setAutoDefault(false);
    layout.Place(m_cancel, 393, 247, 50, 14);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddContentDlg::DoDataExchange(bool save)
{
    m_spin->SetRange(MinItemNumber, MaxContentRows);
    if (save)
    {
        m_nLanguage = m_comboLanguage->currentIndex();
        bool ok = false;
        const int number = m_editItemNumber->text().toInt(&ok);
        if (ok)
            m_nItemNumber = number;
        m_strEditImage1 = m_editImage1->text();
        m_strEditImage2 = m_editImage2->text();
        m_strEditVoice = m_editVoice->text();
        m_strEditDescription = m_editDescription->Text();
        m_strComment = m_editComment->text();
        return;
    }
    m_exchanging = true;
    m_comboLanguage->setCurrentIndex(m_nLanguage);
    m_editItemNumber->setText(QString::number(m_nItemNumber));
    m_editImage1->setText(m_strEditImage1);
    m_editImage2->setText(m_strEditImage2);
    m_editVoice->setText(m_strEditVoice);
    m_editDescription->SetText(m_strEditDescription);
    m_editComment->setText(m_strComment);
    m_exchanging = false;
}

void CAddContentDlg::ExchangeLanguageFields(bool save)
{
    const int tab = m_nCurrentTab;
    if (save)
    {
        DoDataExchange(true);
        m_strImage1[tab] = m_strEditImage1;
        m_strImage2[tab] = m_strEditImage2;
        m_strVoice[tab] = m_strEditVoice;
        m_strDescription[tab] = m_strEditDescription;
        return;
    }
    m_strEditImage1 = m_strImage1[tab];
    m_strEditImage2 = m_strImage2[tab];
    m_strEditVoice = m_strVoice[tab];
    m_strEditDescription = m_strDescription[tab];
    DoDataExchange(false);
}

bool CAddContentDlg::OnInitDialog()
{
    m_nCurrentTab = std::clamp(m_nCurrentTab, 0, LanguageCount - 1);
    m_nLanguage = std::clamp(m_nLanguage, 0, LanguageCount - 1);
    DoDataExchange(false);
    ExchangeLanguageFields(false);
    m_editItemNumber->SetKind(ColumnItemNumber);
    m_editItemNumber->setMaxLength(MaxItemNumberLength);
    {
        const QSignalBlocker blocker(m_tab);
        while (m_tab->count() > 0)
            m_tab->removeTab(0);
        for (int lang = 0; lang < LanguageCount; ++lang)
            m_tab->addTab(LanguageName(lang));
        m_tab->setCurrentIndex(m_nCurrentTab);
    }
    UpdateImagePreview(ColumnImage1);
    UpdateImagePreview(ColumnImage2);
    // Every language is measured in full now, so OK judges a tab that is never shown by
    // the same rules as the shown one.
    for (int lang = 0; lang < LanguageCount; ++lang)
        m_bOverLimit[lang] = MeasureDescription(lang, m_strDescription[lang]).overLimit ? 1 : 0;
    m_initialised = true;
    UpdateDescriptionLimits();
    // The default focus is the template's first tab stop, the item number: the tab control,
    // made first to lie behind the fields, comes last in the template.
    m_editItemNumber->setFocus();
    return true;
}

int CAddContentDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CAddContentDlg::CheckItemNumberInput()
{
    const QString text = m_editItemNumber->text().left(10);
    if (text.isEmpty())
    {
        if (!g_quiet)
            ShowItemNumberMessage(IDS_ENTER_ITEM_NUMBER);
        // What was typed in the other fields is kept; the stored number comes back.
        ExchangeLanguageFields(true);
        ExchangeLanguageFields(false);
        return false;
    }
    for (QChar c : text)
    {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        {
            if (!g_quiet)
                ShowItemNumberMessage(IDS_ITEM_NUMBER_DIGITS_ONLY);
            m_editItemNumber->setText(QString::number(m_nItemNumber));
            return false;
        }
    }
    ExchangeLanguageFields(true);
    const int number = text.toInt();
    if (number >= MinItemNumber && number <= MaxContentRows)
        return true;
    if (!g_quiet)
        ShowItemNumberMessage(IDS_ITEM_NUMBER_RANGE);
    m_nItemNumber = std::clamp(number, MinItemNumber, MaxContentRows);
    ExchangeLanguageFields(false);
    return false;
}

QString& CAddContentDlg::PathOfKind(int kind)
{
    if (kind == ColumnImage1)
        return m_strImage1[m_nCurrentTab];
    if (kind == ColumnImage2)
        return m_strImage2[m_nCurrentTab];
    return m_strVoice[m_nCurrentTab];
}

QLabel* CAddContentDlg::PreviewOf(int kind) const
{
    return kind == ColumnImage1 ? m_preview1 : kind == ColumnImage2 ? m_preview2 : nullptr;
}

void CAddContentDlg::OnImagePathChanged(int kind)
{
    PathOfKind(kind) = (kind == ColumnImage1 ? m_editImage1 : m_editImage2)->text();
    UpdateImagePreview(kind);
}

void CAddContentDlg::UpdateImagePreview(int kind)
{
    QLabel* preview = PreviewOf(kind);
    if (!preview)
        return;
    CImageEx& image = kind == ColumnImage1 ? m_image1 : m_image2;
    image.Destroy();
    preview->clear();
    const QString path = PathOfKind(kind);
    if (!IsExistingFile(path) || !HasExtension(path, ".bmp") || !Path::IsAbsoluteLocal(path))
        return;
    if (!image.Load(Path::Resolve(path)) || !image.IsValidGuideImage())
        return;
    const QSize size = preview->contentsRect().size();
    if (size.isEmpty())
        return;
    QImage shown(size, QImage::Format_RGB888);
    shown.fill(Qt::white);
    {
        QPainter painter(&shown);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), size), image.Image());
    }
    preview->setPixmap(QPixmap::fromImage(shown));
}

void CAddContentDlg::UpdateDescriptionLimits()
{
    // Measured as it will be stored.
    const DescriptionMeasure measure = MeasureDescription(m_nCurrentTab, m_editDescription->Text());
    m_lineStatus->setText(measure.linesText);
    m_pixelStatus->setText(measure.pixelText);
    m_bOverLimit[m_nCurrentTab] = measure.overLimit ? 1 : 0;
}

void CAddContentDlg::Browse(int kind)
{
    ExchangeLanguageFields(true);
    const bool voice = kind == ColumnVoice;
    const char* extension = voice ? ".wav" : ".bmp";
    const QString current = PathOfKind(kind);

    QString initialFile;
    if (Path::IsDirectory(current))
    {
        // A root gives no file; another folder opens with every file shown.
        if (Path::RemoveBackslash(current) != QStringLiteral("/"))
            initialFile = Path::Append(current, QStringLiteral("*"));
    }
    else if (IsExistingFile(current) && HasExtension(current, extension))
    {
        initialFile = current;
    }

    QString folder = Path::Append(m_strProjectFolder, voice ? QStringLiteral("input/wav")
                                                            : QStringLiteral("input/bmp"));
    const QLineEdit* edit = kind == ColumnImage1   ? m_editImage1
                            : kind == ColumnImage2 ? m_editImage2
                                                   : m_editVoice;
    if (IsExistingFile(edit->text()))
        folder = edit->text();
    const QString start = initialFile.isEmpty() ? folder : initialFile;

    const QString chosen = FileDialogs::Current().GetOpenFileName(
        this, QString(), start, Strings::Load(voice ? IDS_FILTER_WAV : IDS_FILTER_BMP),
        voice ? QStringLiteral("wav") : QStringLiteral("bmp"));
    if (!chosen.isEmpty() && ValidateContentFile(chosen, kind, true))
    {
        PathOfKind(kind) = chosen;
        UpdateImagePreview(kind);
    }
    ExchangeLanguageFields(false);
}

void CAddContentDlg::BrowseImage(unsigned buttonId)
{
    Browse(buttonId == IDC_BROWSE_IMAGE2 ? ColumnImage2 : ColumnImage1);
}

void CAddContentDlg::BrowseVoice()
{
    Browse(ColumnVoice);
}

void CAddContentDlg::OnDropFile(int kind, const QString& path)
{
    if (kind != ColumnImage1 && kind != ColumnImage2 && kind != ColumnVoice)
        return;
    ExchangeLanguageFields(true);
    if (IsExistingFile(path))
    {
        if (kind != ColumnVoice && !HasExtension(path, ".bmp"))
        {
            Show(IDS_NOT_BMP_FILE);
            return;
        }
        if (kind == ColumnVoice && !HasExtension(path, ".wav"))
        {
            Show(IDS_NOT_WAV_FILE);
            return;
        }
    }
    if (ValidateContentFile(path, kind, true))
    {
        PathOfKind(kind) = path;
        UpdateImagePreview(kind);
    }
    ExchangeLanguageFields(false);
}

bool CAddContentDlg::HasData(int language) const
{
    return !m_strImage1[language].isEmpty() || !m_strImage2[language].isEmpty() ||
           !m_strVoice[language].isEmpty() || !m_strDescription[language].isEmpty();
}

bool CAddContentDlg::CheckVoice(int language)
{
    const QString& voice = m_strVoice[language];
    const QString name = LanguageName(language);
    if (voice.isEmpty())
    {
        Show(IDS_NO_VOICE_OF, {name});
        return false;
    }
    if (!HasExtension(voice, ".wav"))
    {
        Show(IDS_VOICE_NOT_WAV_OF, {name});
        return false;
    }
    if (!IsExistingFile(voice))
    {
        Show(IDS_VOICE_MISSING_OF, {name});
        return false;
    }
    if (!ValidateContentFile(voice, ColumnVoice, false))
    {
        Show(IDS_VOICE_NOT_GUIDE_OF, {name});
        return false;
    }
    return true;
}

bool CAddContentDlg::CheckImage(int language, int picture)
{
    const QString& path = picture == 1 ? m_strImage1[language] : m_strImage2[language];
    const QString name = LanguageName(language);
    if (!HasExtension(path, ".bmp"))
    {
        Show(IDS_IMAGE_NOT_BMP_OF, {name, picture});
        return false;
    }
    if (!IsExistingFile(path))
    {
        Show(IDS_IMAGE_MISSING_OF, {name, picture});
        return false;
    }
    if (!Path::IsAbsoluteLocal(path))
    {
        Show(IDS_IMAGE_FULL_PATH, {path});
        return false;
    }
    if (!ValidateContentFile(path, picture == 1 ? ColumnImage1 : ColumnImage2, false))
    {
        Show(IDS_IMAGE_NOT_GUIDE_OF, {name, picture, CImageEx::GuideWidth, CImageEx::GuideHeight});
        return false;
    }
    return true;
}

bool CAddContentDlg::CheckImages(int language)
{
    if (m_strImage1[language].isEmpty() && !m_strImage2[language].isEmpty())
    {
        Show(IDS_NO_IMAGE1_OF, {LanguageName(language)});
        return false;
    }
    if (!m_strImage1[language].isEmpty() && !CheckImage(language, 1))
        return false;
    if (!m_strImage2[language].isEmpty() && !CheckImage(language, 2))
        return false;
    return true;
}

bool CAddContentDlg::CheckItemNumberUnused()
{
    if (m_pOwner && !m_pOwner->IsItemNumberFree(m_nItemNumber, m_nRowIndex))
    {
        Show(IDS_ITEM_NUMBER_USED);
        return false;
    }
    return true;
}

bool CAddContentDlg::CheckDescription(int language)
{
    return ::CheckDescription(language, m_strDescription[language], m_bOverLimit[language] != 0);
}

void CAddContentDlg::OnTcnSelchangeTab(int newTab)
{
    const int oldTab = m_nCurrentTab;
    ExchangeLanguageFields(true);
    if (HasData(oldTab) && (!CheckVoice(oldTab) || !CheckImages(oldTab) ||
                            !CheckItemNumberUnused() || !CheckDescription(oldTab)))
    {
        const QSignalBlocker blocker(m_tab);
        m_tab->setCurrentIndex(oldTab);
        return;
    }
    m_nCurrentTab = std::clamp(newTab, 0, LanguageCount - 1);
    ExchangeLanguageFields(false);
    UpdateImagePreview(ColumnImage1);
    UpdateImagePreview(ColumnImage2);
    UpdateDescriptionLimits();
}

void CAddContentDlg::OnBnClickedOk()
{
    ExchangeLanguageFields(true);
    bool any = false;
    for (int lang = 0; lang < LanguageCount; ++lang)
    {
        if (!HasData(lang))
            continue;
        any = true;
        if (!CheckVoice(lang) || !CheckImages(lang) || !CheckItemNumberUnused() ||
            !CheckDescription(lang))
            return;
    }
    if (!any)
    {
        Show(IDS_NO_CONTENT);
        return;
    }
    for (int lang = 0; lang < LanguageCount; ++lang)
    {
        m_strImage1[lang] = Path::ToNative(m_strImage1[lang]);
        m_strImage2[lang] = Path::ToNative(m_strImage2[lang]);
        m_strVoice[lang] = Path::ToNative(m_strVoice[lang]);
    }
    accept();
}
