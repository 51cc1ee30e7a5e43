// Every dialog of both builds of the content editor, laid out with the font its resource set
// draws with, holds each text inside its control; the menus, tool tips and prompts draw in
// that face, and the grid's column titles that do not fit end in an ellipsis.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/VersionBlock.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/AboutBox.h"
#include "TOVKContEdit/ui/AddContentDlg.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/ProgressDlg.h"
#include "TOVKContEdit/ui/SortDlg.h"
#include "TOVKContEdit/ui/TOVKContEditView.h"
#include "common/TextFit.h"
#include "framework/DialogLayout.h"
#include "platform/Strings.h"
#include "platform/VersionInfo.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
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

TEST_P(DialogFit, MenusToolTipsAndPromptsDrawInTheScriptsFace)
{
    const QString face = QFontInfo(DialogLayout::DialogFont()).family();
    for (const char* kind :
         {"QMenu", "QMenuBar", "QStatusBar", "QTipLabel", "QMessageBox", "QFileDialog"})
    {
        EXPECT_EQ(QFontInfo(QApplication::font(kind)).family(), face) << kind;
    }
    CMainFrame frame;
    ASSERT_EQ(frame.OnCreate(), 0);
    const QStringList missing = FindTextsWithoutGlyphs(&frame);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u'\n').toStdString();
}

TEST_P(DialogFit, GridColumnTitlesThatDoNotFitEndInAnEllipsis)
{
    CTOVKContEditDoc doc;
    CTOVKContEditView view(doc);
    view.OnInitialUpdate();
    const QFontMetrics metrics(view.HeaderFont());
    int shortened = 0;
    for (int column = 0; column < view.GetColumnCount(); ++column)
    {
        SCOPED_TRACE(column);
        const QString title = Strings::Load(IDS_LANGUAGE + column);
        const QString shown = view.HeaderText(column);
        EXPECT_LE(metrics.horizontalAdvance(shown), view.GetColumnWidth(column) - 4);
        if (shown == title)
            continue;
        ++shortened;
        EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
        EXPECT_TRUE(title.startsWith(shown.chopped(1))) << shown.toStdString();
    }
    // At their designed widths the English titles of the narrow columns are cut.
    if (GetParam().script == DialogScript::Latin)
    {
        EXPECT_GT(shortened, 0);
    }
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
