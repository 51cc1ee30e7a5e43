#include "platform/ui/QtTranslations.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{
// The standard buttons of a message box take their texts from Qt's translation.
TEST(QtTranslations, JapaneseStandardButtons)
{
    ASSERT_TRUE(InstallQtTranslations(QStringLiteral("ja")));
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
    QString yes = box.button(QDialogButtonBox::Yes)->text();
    EXPECT_NE(yes.remove(u'&'), QStringLiteral("Yes"));
}

TEST(QtTranslations, MissingLanguageIsReported)
{
    EXPECT_FALSE(InstallQtTranslations(QStringLiteral("xx-none")));
}
} // namespace
