// The wait's text tells of Wine only while a Windows tool has shown nothing for a second.
#include "platform/WinePreparingNote.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace
{
TEST(WinePreparingNote, TheNoteShowsAfterASecondOfNothingAndGoesWhenTheToolShowsAnything)
{
    struct Case
    {
        const char* name;
        int showsAtMs; // -1: never
        QStringList texts;
    };
    const Case cases[] = {
        {"shows at once", 100, {}},
        {"shows just before the second", 980, {}},
        {"shows after 3 s", 3000, {"note", "normal"}},
        {"never shows", -1, {"note", "normal"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        QStringList texts;
        int now = 0;
        bool shownAtTwoSeconds = false;
        {
            WinePreparingNote note(
                "note", "normal", [&texts](const QString& text) { texts << text; },
                [&] { return c.showsAtMs >= 0 && now >= c.showsAtMs; });
            for (now = 20; now <= 5000; now += 20)
            {
                note.Slice(20);
                if (now == 2000)
                    shownAtTwoSeconds = note.IsShown();
            }
        }
        EXPECT_EQ(texts.join(u'|').toStdString(), c.texts.join(u'|').toStdString());
        EXPECT_EQ(shownAtTwoSeconds, c.showsAtMs < 0 || c.showsAtMs > 2000);
    }
}
} // namespace
