// Every dialog of both builds of the content editor, laid out with the font its resource set
// draws with, holds each text inside its control.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/VersionBlock.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/AboutBox.h"
#include "TOVKContEdit/ui/AddContentDlg.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "TOVKContEdit/ui/SortDlg.h"
#include "common/TextFit.h"
#include "framework/DialogLayout.h"
#include "platform/Strings.h"
#include "platform/VersionInfo.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{
struct ResourceSet
{
    const char* name;
    const StringTable& (*table)();
    const VersionBlock& (*block)();
    DialogScript script;
};

const ResourceSet kSets[] = {
    {"EN", &ContEditStringsEN, &ContEditVersionBlockEN, DialogScript::Latin},
    {"JP", &ContEditStringsJA, &ContEditVersionBlockJA, DialogScript::Japanese},
};

class DialogFit : public ::testing::TestWithParam<ResourceSet>
{
protected:
    void SetUp() override
    {
        Strings::Install(GetParam().table());
        VersionInfo::Install(&GetParam().block());
        DialogLayout::SetScript(GetParam().script);
    }
    void TearDown() override
    {
        DialogLayout::SetScript(DialogScript::Latin);
        VersionInfo::Install(nullptr);
        Strings::Install(ContEditStringsEN());
    }

    static void ExpectFits(const QWidget& window)
    {
        const QList<TextOverflow> overflows = FindTextOverflows(&window);
        EXPECT_TRUE(overflows.isEmpty()) << DescribeOverflows(overflows).toStdString();
    }
};

TEST_P(DialogFit, TheFontCoversTheResourceSetsScript)
{
    const QFont font = DialogLayout::DialogFont(Strings::Load(IDS_LIST_FONT_FACE));
    const QFontDatabase::WritingSystem system = GetParam().script == DialogScript::Japanese
                                                    ? QFontDatabase::Japanese
                                                    : QFontDatabase::Latin;
    EXPECT_TRUE(QFontDatabase::families(system).contains(QFontInfo(font).family()))
        << QFontInfo(font).family().toStdString();
    // The units come from the font the texts are drawn in.
    CSortDlg dialog;
    EXPECT_EQ(QFontInfo(dialog.font()).family(), QFontInfo(font).family());
}

TEST_P(DialogFit, AboutBox)
{
    CAboutDlg dialog(nullptr, ContEditAboutIds());
    dialog.OnInitDialog();
    ExpectFits(dialog);
}

TEST_P(DialogFit, AddContentDialogOnEveryTab)
{
    CTOVKContEditDoc doc;
    CAddContentDlg dialog(&doc);
    dialog.OnInitDialog();
    for (int tab = 0; tab < 9; ++tab)
    {
        dialog.m_nCurrentTab = tab;
        dialog.ExchangeLanguageFields(false);
        dialog.UpdateDescriptionLimits();
        SCOPED_TRACE(tab);
        ExpectFits(dialog);
    }
}

TEST_P(DialogFit, SortDialog)
{
    CSortDlg dialog;
    dialog.OnInitDialog();
    ExpectFits(dialog);
}

TEST_P(DialogFit, OutputProgressWithEachLanguage)
{
    QWidget owner;
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&owner));
    dialog.UpdatePercent(100);
    for (unsigned language = 0; language < 9; ++language)
    {
        dialog.Label()->setText(Strings::Load(IDS_OUTPUTTING_CONTENT) + QStringLiteral(" ... ") +
                                Strings::Load(IDS_LANGUAGE_NAME_FIRST + language));
        SCOPED_TRACE(language);
        ExpectFits(dialog);
    }
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, DialogFit, ::testing::ValuesIn(kSets),
                         [](const auto& info) { return std::string(info.param.name); });
} // namespace
