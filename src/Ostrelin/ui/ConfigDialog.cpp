#include "Ostrelin/ui/ConfigDialog.h"

#include "Ostrelin/model/BindData.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/ExamplePictures.h"
#include "Ostrelin/ui/HubLayout.h"
#include "platform/Strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

CConfigDialog::CConfigDialog(QWidget* parent) : CStepPage(parent)
{
    const DialogLayout layout = HubLayout();
    layout.SizeDialog(this, 345, 260);
    setObjectName(QString::number(IDD_CONFIG));

    auto* displayGroup = new QGroupBox(Strings::Load(IDS_DISPLAY_LANGUAGE_GROUP), this);
    layout.Place(displayGroup, 6, 8, 162, 244);
    m_displayLanguage = new QComboBox(this);
    m_displayLanguage->setObjectName(QString::number(IDC_DISPLAY_LANGUAGE));
    layout.Place(m_displayLanguage, 16, 24, 64, 12);
    auto* displayNote = new QLabel(Strings::Load(IDS_DISPLAY_LANGUAGE_NOTE), this);
    displayNote->setTextFormat(Qt::PlainText);
    displayNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout.Place(displayNote, 16, 46, 146, 32);
    auto* displayLabel = new QLabel(Strings::Load(IDS_EXAMPLE_LABEL), this);
    layout.Place(displayLabel, 18, 102, 8, 8);
    auto* displayPicture = new QLabel(this);
    displayPicture->setPixmap(ExamplePicture(IDB_EXAMPLE_DISPLAY));
    displayPicture->setScaledContents(true);
    layout.Place(displayPicture, 12, 114, 146, 128);

    auto* guideGroup = new QGroupBox(Strings::Load(IDS_GUIDE_LANGUAGE_GROUP), this);
    layout.Place(guideGroup, 174, 8, 162, 244);
    for (int i = 0; i < kLanguageCount; ++i)
    {
        auto* box = new QCheckBox(GetLanguageName(i), this);
        box->setObjectName(QString::number(IDC_GUIDE_LANGUAGE_FIRST + unsigned(i)));
        if (i < 5)
            layout.Place(box, 186, 24 + 14 * i, 66, 10);
        else
            layout.Place(box, 260, 24 + 14 * (i - 5), 66, 10);
        m_languageBoxes[std::size_t(i)] = box;
        ConnectCommand(box, &QCheckBox::clicked, &CConfigDialog::OnLanguageCheck);
    }
    auto* guideLabel = new QLabel(Strings::Load(IDS_EXAMPLE_LABEL), this);
    layout.Place(guideLabel, 186, 102, 8, 8);
    auto* guidePicture = new QLabel(this);
    guidePicture->setPixmap(ExamplePicture(IDB_EXAMPLE_GUIDE));
    guidePicture->setScaledContents(true);
    layout.Place(guidePicture, 180, 114, 146, 128);

    ConnectCommand(m_displayLanguage, &QComboBox::activated,
                   &CConfigDialog::OnSelChangeDisplayLanguage);
    OnInitDialog();
}

bool CConfigDialog::OnInitDialog()
{
    for (int i = 0; i < kLanguageCount; ++i)
        m_displayLanguage->addItem(GetLanguageName(i));
    UpdateControls();
    return true;
}

void CConfigDialog::UpdateControls()
{
    const CBindData* data = GetActiveProjectData();
    const int display = data ? data->m_nDisplayLanguage : -1;
    m_displayLanguage->setCurrentIndex(display >= 0 && display < kLanguageCount ? display : -1);
    const unsigned content = data ? data->m_wContentLanguages : 0;
    const unsigned guide = data ? data->m_wGuideLanguages : 0;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        const unsigned bit = 1u << i;
        QCheckBox* box = m_languageBoxes[std::size_t(i)];
        box->setEnabled(content & bit);
        box->setChecked((content & bit) && (guide & bit));
    }
}

bool CConfigDialog::CheckStep(QString& error)
{
    error.clear();
    const CBindData* data = GetActiveProjectData();
    // Bits above the nine languages name no language: they do not count as a choice.
    if (data == nullptr || (data->m_wGuideLanguages & kAllLanguagesMask) == 0)
        error += Strings::Load(IDS_NEED_GUIDE_LANGUAGE);
    return error.isEmpty();
}

void CConfigDialog::OnSelChangeDisplayLanguage()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    data->m_nDisplayLanguage = m_displayLanguage->currentIndex();
    OnProjectDataChanged();
}

void CConfigDialog::OnLanguageCheck()
{
    CBindData* data = GetActiveProjectData();
    if (data == nullptr)
        return;
    quint16 mask = data->m_wGuideLanguages & quint16(~kAllLanguagesMask);
    for (int i = 0; i < kLanguageCount; ++i)
    {
        if (m_languageBoxes[std::size_t(i)]->isChecked())
            mask |= quint16(1u << i);
    }
    data->m_wGuideLanguages = mask;
    OnProjectDataChanged();
}

void CConfigDialog::OnShowWindow(bool show)
{
    if (show)
        UpdateControls();
}
