// The language page: display language, guide languages among those with content, its check.
#include "Ostrelin/ui/ConfigDialog.h"
#include "Ostrelin/ui/HubLayout.h"
#include "PageFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace PageFixture;

namespace
{
class LanguagePageTest : public PageTest
{
protected:
    quint16 EnabledMask() const
    {
        quint16 mask = 0;
        for (int i = 0; i < 9; ++i)
            mask |= page->LanguageBox(i)->isEnabled() ? quint16(1u << i) : 0;
        return mask;
    }
    quint16 CheckedMask() const
    {
        quint16 mask = 0;
        for (int i = 0; i < 9; ++i)
            mask |= page->LanguageBox(i)->isChecked() ? quint16(1u << i) : 0;
        return mask;
    }
    std::unique_ptr<CConfigDialog> page = std::make_unique<CConfigDialog>();
};

TEST_F(LanguagePageTest, WithoutContentNothingCanBeChosenAndTheStepFails)
{
    Data().m_wGuideLanguages = 0x0001;
    page->UpdateControls();
    EXPECT_EQ(EnabledMask(), 0);
    EXPECT_EQ(CheckedMask(), 0);
    Data().m_wGuideLanguages = 0;
    QString error = QStringLiteral("old");
    EXPECT_FALSE(page->CheckStep(error));
    EXPECT_EQ(error, QStringLiteral("ガイドで選択可能な言語を設定してください。\r\n"));
}

TEST_F(LanguagePageTest, OnlyLanguagesWithContentAreOfferedAndAClickDropsTheOthers)
{
    AddWorks({1}, 0x0003);                      // Japanese and English content
    Data().m_wGuideLanguages = 0x0004 | 0x0200; // French from an older file, and a high bit
    page->UpdateControls();
    EXPECT_EQ(EnabledMask(), 0x0003);
    EXPECT_EQ(CheckedMask(), 0);
    EXPECT_EQ(page->LanguageBox(0)->objectName(), QStringLiteral("1015"));

    page->show();
    QTest::mouseClick(page->LanguageBox(1), Qt::LeftButton, {},
                      QPoint(4, page->LanguageBox(1)->height() / 2));
    EXPECT_EQ(Data().m_wGuideLanguages, 0x0002 | 0x0200);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_GT(host.stepUpdates, 0);
    QString error;
    EXPECT_TRUE(page->CheckStep(error));
    EXPECT_TRUE(error.isEmpty());

    page->LanguageBox(1)->click();
    EXPECT_EQ(Data().m_wGuideLanguages & 0x01FF, 0);
    EXPECT_FALSE(page->CheckStep(error));
}

TEST_F(LanguagePageTest, AnyDisplayLanguageCanBeChosen)
{
    EXPECT_EQ(page->DisplayLanguageBox()->count(), 9);
    EXPECT_EQ(page->DisplayLanguageBox()->itemText(8), QStringLiteral("オランダ語"));
    page->DisplayLanguageBox()->setCurrentIndex(8);
    emit page->DisplayLanguageBox()->activated(8);
    EXPECT_EQ(Data().m_nDisplayLanguage, 8);
    EXPECT_TRUE(doc.IsModified());

    Data().m_nDisplayLanguage = 12; // from a project file
    page->UpdateControls();
    EXPECT_EQ(page->DisplayLanguageBox()->currentIndex(), -1);
}

TEST_F(LanguagePageTest, ShowingThePageRefreshesIt)
{
    AddWorks({1}, 0x0010);
    Data().m_wGuideLanguages = 0x0010;
    page->show();
    EXPECT_TRUE(page->LanguageBox(4)->isChecked());
    page->hide();
    Data().m_wGuideLanguages = 0;
    page->show();
    EXPECT_FALSE(page->LanguageBox(4)->isChecked());
}

TEST_F(LanguagePageTest, TheDisplayLanguageBoxIsExplainedBelowIt)
{
    const QString explanation =
        QStringLiteral("以下の画像で\n「QuorvaneKP ガイド」と\n"
                       "表示されている部分が、\n選択された言語で表示されます。");
    const QLabel* found = nullptr;
    for (const QLabel* label : page->findChildren<const QLabel*>())
    {
        if (label->text() == explanation)
            found = label;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->geometry(), HubLayout().Rect(16, 46, 146, 32));
}
} // namespace
