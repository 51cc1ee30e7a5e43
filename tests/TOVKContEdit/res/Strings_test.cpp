// The two resource sets of the content editor: the same ids in both, and the program's own
// messages taking the same inserts in both languages.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{
TEST(AppResources, BothSetsCarryTheSameIds)
{
    const StringTable& english = ContEditStringsEN();
    const StringTable& japanese = ContEditStringsJA();
    EXPECT_EQ(english.Size(), japanese.Size());
    for (unsigned id = 0; id < 65536; ++id)
        EXPECT_EQ(english.Contains(id), japanese.Contains(id)) << "id " << id;
}

TEST(AppResources, ProgramMessagesTakeTheSameInserts)
{
    const QRegularExpression insert(
        QStringLiteral("%(?:\\d+!\\w+!|[-+ #0]*\\d*(?:\\.\\d+)?[a-zA-Z%])"));
    const auto inserts = [&insert](const QString& text)
    {
        QStringList found;
        for (auto it = insert.globalMatch(text); it.hasNext();)
            found << it.next().captured();
        return found;
    };
    for (unsigned id : {IDS_CANNOT_DOUBLE_START, IDS_CONVERSION_ERROR, IDS_START_FROM_GUIDE_EDITOR,
                        IDS_NO_CONTENT, IDS_CANNOT_LAUNCH, IDS_OUTPUT_FAILED, IDS_OUTPUT_ABORTED,
                        IDS_OUTPUT_COMPLETED, IDS_OUTPUT_ALL_LANGUAGES, IDS_ASK_TO_SAVE,
                        IDS_FOLDER_SWITCH_WITHOUT_FOLDER})
    {
        const QString english = ContEditStringsEN().Load(id);
        ASSERT_FALSE(english.isEmpty()) << id;
        EXPECT_EQ(inserts(english), inserts(ContEditStringsJA().Load(id))) << id;
    }
}

TEST(AppResources, JapaneseTextsOfTheProgram)
{
    const StringTable& japanese = ContEditStringsJA();
    struct Case
    {
        unsigned id;
        const char16_t* text;
    } cases[] = {
        {IDS_APP_TITLE, u"QuorvaneKP ガイド エディタ - コンテンツ"},
        {IDS_CANNOT_DOUBLE_START, u"二重起動出来ません。"},
        {IDS_LANGUAGE_NAME_FIRST + 0, u"日本語"},
        {IDS_LANGUAGE_NAME_FIRST + 8, u"オランダ語"},
        {IDS_OUTPUT_COMPLETED, u"出力が完了しました"},
        {IDS_PROGRESS_CAPTION, u"変換"},
        {IDS_PROGRESS_CANCEL, u"キャンセル"},
        {IDS_FOLDER_SWITCH_WITHOUT_FOLDER, u"/d ... parameter is not found.\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(japanese.Load(c.id), QString::fromUtf16(c.text)) << c.id;
}
} // namespace
