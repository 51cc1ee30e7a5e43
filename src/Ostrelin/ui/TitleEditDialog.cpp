#include "Ostrelin/ui/TitleEditDialog.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/PathHelpers.h"
#include "Ostrelin/model/ProjectFolders.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "platform/FileDialogs.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace
{
constexpr std::array<unsigned, kLanguageCount> kEditIds = {2024, 2027, 2030, 2025, 2028,
                                                           2031, 2026, 2029, 2032};
constexpr std::array<unsigned, kLanguageCount> kBrowseIds = {2033, 2036, 2039, 2034, 2037,
                                                             2040, 2035, 2038, 2041};
constexpr std::array<unsigned, kLanguageCount> kPreviewIds = {2042, 2045, 2048, 2043, 2046,
                                                              2049, 2044, 2047, 2050};
// More verdicts than this are dropped in one go; a page sees a handful of files.
constexpr qsizetype kMaxVerdicts = 64;

quint16 Bit(int language)
{
    return quint16(1u << language);
}
} // namespace

CTitleEditDialog::CTitleEditDialog(QWidget* parent) : CStepPage(parent)
{
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 424, 269);
    setObjectName(QString::number(IDD_TITLE_EDIT));

    for (int i = 0; i < kLanguageCount; ++i)
    {
        const int x = 8 + 138 * (i % 3);
        const int y = 8 + 79 * (i / 3);
        auto* group = new QGroupBox(this);
        layout.Place(group, x, y, i % 3 == 2 ? 132 : 130, 71);

        auto* check = new QCheckBox(GetLanguageName(i), this);
        check->setObjectName(QString::number(IDC_TITLE_CHECK_FIRST + unsigned(i)));
        layout.Place(check, x + 4, y, 48, 10);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(kEditIds[std::size_t(i)]));
        layout.Place(edit, x + 4, y + 14, 108, 12);
        auto* browse = new QPushButton(Strings::Load(IDS_BROWSE_BUTTON), this);
        browse->setObjectName(QString::number(kBrowseIds[std::size_t(i)]));
        layout.Place(browse, x + 114, y + 14, 12, 12);
        auto* preview = new QLabel(this);
        preview->setObjectName(QString::number(kPreviewIds[std::size_t(i)]));
        preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        preview->setAlignment(Qt::AlignCenter);
        preview->setTextFormat(Qt::PlainText);
        preview->setWordWrap(true);
        layout.Place(preview, x + 4, y + 28, 120, 35);

        m_checks[std::size_t(i)] = check;
        m_edits[std::size_t(i)] = edit;
        m_browse[std::size_t(i)] = browse;
        m_previews[std::size_t(i)] = preview;
        ConnectCommand(check, &QCheckBox::clicked, [this, i] { OnCheckLanguage(i); });
        ConnectCommand(browse, &QPushButton::clicked, [this, i] { OnBrowse(i); });
        ConnectCommand(edit, &QLineEdit::textChanged, [this, i] { OnEditChange(i); });
        ConnectCommand(edit, &QLineEdit::editingFinished, [this, i] { OnEditChange(i); });
    }
    auto* note = new QLabel(Strings::Load(IDS_TITLE_PAGE_NOTE), this);
    note->setTextFormat(Qt::PlainText);
    layout.Place(note, 8, 245, 406, 16);
    OnInitDialog();
}

bool CTitleEditDialog::OnInitDialog()
{
    UpdateFromDoc();
    return true;
}

void CTitleEditDialog::UpdateFromDoc()
{
    const CBindData* data = GetActiveProjectData();
    for (int i = 0; i < kLanguageCount; ++i)
    {
        const bool checked =
            data && (data->m_wGuideLanguages & Bit(i)) && (data->m_wTitleLanguages & Bit(i));
        m_checks[std::size_t(i)]->setChecked(checked);
        const QString path = data ? data->m_strTitleImage[std::size_t(i)] : QString();
        const QString shown = LoadTitleImage(i, path);
        // Setting the text is no edit of the user's: nothing is stored or marked.
        const QSignalBlocker blocker(m_edits[std::size_t(i)]);
        m_edits[std::size_t(i)]->setText(shown);
        m_edits[std::size_t(i)]->setModified(false);
    }
    EnableRows();
}

void CTitleEditDialog::EnableRows()
{
    const CBindData* data = GetActiveProjectData();
    const unsigned guide = data ? data->m_wGuideLanguages : 0;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        const std::size_t k = std::size_t(i);
        const bool offered = guide & Bit(i);
        const bool active = offered && m_checks[k]->isChecked();
        m_checks[k]->setEnabled(offered);
        m_edits[k]->setEnabled(active);
        m_browse[k]->setEnabled(active);
        m_previews[k]->setVisible(active);
    }
}

CTitleEditDialog::Verdict CTitleEditDialog::CheckTitleFile(const QString& path)
{
    // Only a full local path to an existing .bmp file is opened at all.
    if (path.isEmpty() || !Path::IsAbsoluteLocal(path) || Path::IsDirectory(path) ||
        !Path::FileExists(path) || GetExtensionOf(path).compare(u".bmp", Qt::CaseInsensitive) != 0)
        return {};
    const QString resolved = Path::Resolve(path);
    const QFileInfo info(resolved);
    const auto known = m_verdicts.constFind(resolved);
    if (known != m_verdicts.constEnd() && known->size == info.size() &&
        known->modified == info.lastModified())
        return *known;

    CImageEx image;
    Verdict verdict;
    const bool passed = image.LoadAndCheck(resolved);
    verdict.loaded = !image.IsNull();
    verdict.flags = image.Flags();
    if (passed)
        verdict.image = image.Image();
    verdict.size = info.size();
    verdict.modified = info.lastModified();
    if (m_verdicts.size() >= kMaxVerdicts)
        m_verdicts.clear();
    m_verdicts.insert(resolved, verdict);
    return verdict;
}

void CTitleEditDialog::ShowExplanation(int language, const QString& text)
{
    const std::size_t k = std::size_t(language);
    m_explanations[k] = text;
    m_previews[k]->setPixmap(QPixmap());
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_previews[k]->setText(shown);
}

QString CTitleEditDialog::LoadTitleImage(int language, const QString& path)
{
    const std::size_t k = std::size_t(language);
    m_bValid[k] = false;
    QLabel* preview = m_previews[k];
    const QSize client = preview->contentsRect().size();
    if (!m_checks[k]->isChecked())
    {
        m_explanations[k].clear();
        preview->setPixmap(QPixmap());
        preview->clear();
        m_bValid[k] = true;
        return path;
    }

    const Verdict verdict = CheckTitleFile(path);
    if (!verdict.image.isNull())
    {
        const QImage scaled = verdict.image
                                  .scaled(client.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_RGB888);
        m_explanations[k].clear();
        preview->setText(QString());
        preview->setPixmap(QPixmap::fromImage(scaled));
        m_bValid[k] = true;
        return path;
    }

    QStringList lines;
    if (!verdict.loaded)
    {
        if (!path.isEmpty())
            lines << Strings::Load(Path::IsAbsoluteLocal(path) ? IDS_TITLE_NO_FILE
                                                               : IDS_TITLE_NEED_FULL_PATH);
    }
    else
    {
        if (verdict.flags & CImageEx::FlagWrongSize)
            lines << Strings::Load(IDS_TITLE_WRONG_SIZE);
        if (verdict.flags & CImageEx::FlagWrongDepth)
            lines << Strings::Load(IDS_TITLE_WRONG_DEPTH);
        if (verdict.flags & CImageEx::FlagTooManyColors)
            lines << Strings::Load(IDS_TITLE_TOO_MANY_COLORS);
    }
    QString text = lines.join(QStringLiteral("\r\n"));
    if (!text.isEmpty())
        text += QStringLiteral("\r\n");
    text += Strings::Load(IDS_TITLE_GUIDANCE);
    ShowExplanation(language, text);
    return path;
}

bool CTitleEditDialog::CheckStep(QString& error)
{
    error.clear();
    const CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return true;
    QString lines;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        if ((data->m_wGuideLanguages & Bit(i)) && (data->m_wTitleLanguages & Bit(i)) &&
            m_previews[std::size_t(i)]->pixmap().isNull())
            lines += FormatString(IDS_TITLE_INVALID_LINE, {GetLanguageName(i)});
    }
    if (!lines.isEmpty())
        error = Strings::Load(IDS_TITLE_INVALID) + lines;
    return error.isEmpty();
}

void CTitleEditDialog::OnCheckLanguage(int language)
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    const std::size_t k = std::size_t(language);
    if (m_checks[k]->isChecked())
    {
        data->m_wTitleLanguages |= Bit(language);
        LoadTitleImage(language, m_edits[k]->text());
    }
    else
    {
        data->m_wTitleLanguages &= quint16(~Bit(language));
    }
    EnableRows();
    OnProjectDataChanged();
}

void CTitleEditDialog::OnEditChange(int language)
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    QLineEdit* edit = m_edits[std::size_t(language)];
    data->m_strTitleImage[std::size_t(language)] = LoadTitleImage(language, edit->text());
    if (edit->isModified())
    {
        OnProjectDataChanged();
        edit->setModified(false);
    }
}

void CTitleEditDialog::OnBrowse(int language)
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    const std::size_t k = std::size_t(language);
    QLineEdit* edit = m_edits[k];

    QString start;
    if (!edit->text().isEmpty() && Path::FileExists(edit->text()))
        start = edit->text();
    else if (!data->m_strTitleFolder.isEmpty())
        start = data->m_strTitleFolder;
    else
    {
        const QString project = GetActiveProjectPath();
        start = CProjectTree(project).BmpFolder();
    }
    // The dialog opens on the stored picture when it exists; otherwise on the folder with
    // the *.bmp filter.
    const QString& stored = data->m_strTitleImage[k];
    QString where = start;
    if (!stored.isEmpty() && Path::FileExists(stored) && !Path::IsDirectory(stored))
        where = Path::IsDirectory(start) ? Path::Append(start, GetFileNameOf(stored)) : start;

    const QString chosen = FileDialogs::Current().GetOpenFileName(this, QString(), where,
                                                                  Strings::Load(IDS_TITLE_FILTER));
    if (chosen.isEmpty())
        return;

    {
        const QSignalBlocker blocker(edit);
        if (!Path::IsDirectory(chosen) && Path::FileExists(chosen) &&
            GetExtensionOf(chosen).compare(u".bmp", Qt::CaseInsensitive) == 0)
        {
            edit->setText(chosen);
            data->m_strTitleFolder = Path::RemoveFileSpec(chosen);
        }
        else
        {
            edit->clear();
        }
    }
    data->m_strTitleImage[k] = LoadTitleImage(language, edit->text());
    update();
    OnProjectDataChanged();
    edit->setModified(false);
}

void CTitleEditDialog::OnShowWindow(bool show)
{
    if (show)
        EnableRows();
}
