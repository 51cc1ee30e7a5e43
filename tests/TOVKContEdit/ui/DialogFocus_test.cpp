// The content editor's dialogs that start on an edit, in both builds: the first key replaces
// the proposed text (the add dialog's item number, an edited row's number).
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/ui/AddContentDlg.h"
#include "common/FirstFocus.h"
#include "framework/DialogFocus.h"
#include "framework/DialogLayout.h"
#include "platform/Strings.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace
{
struct ResourceSet
{
    const char* name;
    const StringTable& (*table)();
    DialogScript script;
};

const ResourceSet kSets[] = {
    {"EN", &ContEditStringsEN, DialogScript::Latin},
    {"JP", &ContEditStringsJA, DialogScript::Japanese},
};

class ContEditDialogFocus : public ::testing::TestWithParam<ResourceSet>
{
protected:
    void SetUp() override
    {
        Strings::Install(GetParam().table());
        DialogLayout::SetScript(GetParam().script);
    }
    void TearDown() override
    {
        DialogLayout::SetScript(DialogScript::Latin);
        Strings::Install(ContEditStringsEN());
    }
    CDialogFocus m_focus{*qApp};
};

TEST_P(ContEditDialogFocus, TheFirstKeyReplacesTheProposedText)
{
    const struct
    {
        const char* name;
        int rowIndex; // -1: a new row
        int itemNumber;
        char typed;
    } cases[] = {
        {"add", -1, 4, '4'},
        {"edit", 0, 12, '7'},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTOVKContEditDoc doc;
        CAddContentDlg dialog(&doc);
        dialog.m_nRowIndex = c.rowIndex;
        dialog.m_nItemNumber = c.itemNumber;
        dialog.OnInitDialog();
        QLineEdit* edit = dialog.ItemNumberEdit();
        ASSERT_EQ(edit->text(), QString::number(c.itemNumber));
        QWidget* focus = FirstFocus::TypeOne(dialog, c.typed);
        ASSERT_EQ(focus, edit) << "the first focus is elsewhere: "
                               << (focus ? focus->objectName().toStdString() + " " +
                                               focus->metaObject()->className()
                                         : std::string("none"));
        EXPECT_EQ(edit->text(), QString(QChar::fromLatin1(c.typed)));
    }
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, ContEditDialogFocus, ::testing::ValuesIn(kSets),
                         [](const auto& info) { return std::string(info.param.name); });
} // namespace
