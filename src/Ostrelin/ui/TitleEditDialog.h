#pragma once
// Step page 4: a replacement title picture per guide language, checked against the title
// rules and previewed, or the reasons why it fails.
#include "Ostrelin/model/BindData.h"
#include "Ostrelin/ui/StepPage.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CTitleEditDialog : public CStepPage
{
    Q_OBJECT
public:
    explicit CTitleEditDialog(QWidget* parent = nullptr);

    bool OnInitDialog();
    void UpdateFromDoc();
    void Refresh() override { UpdateFromDoc(); }
    void EnableRows();
    // Validates row i from the path and sets its preview and valid flag; returns the path.
    QString LoadTitleImage(int language, const QString& path);
    bool CheckStep(QString& error) override;

    void OnCheckLanguage(int language);
    void OnBrowse(int language);
    void OnEditChange(int language);
    void OnShowWindow(bool show) override;

    QCheckBox* CheckBox(int language) const { return m_checks[std::size_t(language)]; }
    QLineEdit* PathEdit(int language) const { return m_edits[std::size_t(language)]; }
    QPushButton* BrowseButton(int language) const { return m_browse[std::size_t(language)]; }
    QLabel* Preview(int language) const { return m_previews[std::size_t(language)]; }
    // The preview's explanation as built (lines joined by "\r\n"); "" while it shows a picture.
    QString Explanation(int language) const { return m_explanations[std::size_t(language)]; }
    bool IsRowValid(int language) const { return m_bValid[std::size_t(language)]; }

private:
    // The verdict of one title file; kept per path, size and modification time so that
    // typing in a path edit does not decode the same picture again.
    struct Verdict
    {
        bool loaded = false;
        quint16 flags = 0;
        QImage image;
        qint64 size = -1;
        QDateTime modified;
    };
    Verdict CheckTitleFile(const QString& path);
    void ShowExplanation(int language, const QString& text);

    std::array<QCheckBox*, kLanguageCount> m_checks{};
    std::array<QLineEdit*, kLanguageCount> m_edits{};
    std::array<QPushButton*, kLanguageCount> m_browse{};
    std::array<QLabel*, kLanguageCount> m_previews{};
    std::array<QString, kLanguageCount> m_explanations;
    std::array<bool, kLanguageCount> m_bValid{};
    QHash<QString, Verdict> m_verdicts;
};
