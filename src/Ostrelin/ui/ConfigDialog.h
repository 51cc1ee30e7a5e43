#pragma once
// Step page 3: the display language and the guide languages among those with content.
#include "Ostrelin/model/BindData.h"
#include "Ostrelin/ui/StepPage.h"

#include <array>

class QCheckBox;
class QComboBox;

class CConfigDialog : public CStepPage
{
    Q_OBJECT
public:
    explicit CConfigDialog(QWidget* parent = nullptr);

    bool OnInitDialog();
    // Shows the project's values in the controls.
    void UpdateControls();
    void Refresh() override { UpdateControls(); }
    bool CheckStep(QString& error) override;

    void OnSelChangeDisplayLanguage();
    void OnLanguageCheck();
    void OnShowWindow(bool show) override;

    QComboBox* DisplayLanguageBox() const { return m_displayLanguage; }
    QCheckBox* LanguageBox(int language) const { return m_languageBoxes[std::size_t(language)]; }

private:
    QComboBox* m_displayLanguage = nullptr;
    std::array<QCheckBox*, kLanguageCount> m_languageBoxes{};
};
