// The folder browser shows the caller's instruction inside its window, above the folders.
#include "common/TestSupport.h"
#include "platform/Messages.h"
#include "platform/ui/QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
TEST(FolderBrowser, TheInstructionStandsAboveTheFoldersAndTheCaptionIsTheProgramsTitle)
{
    Messages::SetApplicationTitle(QStringLiteral("Program"));
    const QString folder = TestSupport::NewFolder(QStringLiteral("browse"));
    FolderBrowser browser(nullptr, QStringLiteral("Choose the card copy.\r\n(above private)"),
                          folder + QStringLiteral("/project.olx"));
    browser.show();
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Program"));
    EXPECT_EQ(browser.Instruction()->text(),
              QStringLiteral("Choose the card copy.\n(above private)"));
    EXPECT_TRUE(browser.Instruction()->isVisible());
    EXPECT_LE(browser.Instruction()->geometry().bottom(), browser.Folders()->geometry().top());
    EXPECT_EQ(QDir(browser.Folders()->directory()).canonicalPath(), QDir(folder).canonicalPath());
    EXPECT_EQ(browser.Folders()->fileMode(), QFileDialog::Directory);
}

TEST(FolderBrowser, GivesTheChosenFolderOnlyWhenAccepted)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("choose"));
    QDir().mkpath(folder + QStringLiteral("/card"));
    {
        FolderBrowser browser(nullptr, QStringLiteral("Choose"), folder + QStringLiteral("/card"));
        QTimer::singleShot(0, browser.Folders(),
                           [&] { QMetaObject::invokeMethod(browser.Folders(), "accept"); });
        browser.exec();
        EXPECT_EQ(QDir(browser.SelectedFolder()).canonicalPath(),
                  QDir(folder + QStringLiteral("/card")).canonicalPath());
    }
    {
        FolderBrowser browser(nullptr, QStringLiteral("Choose"), folder);
        QTimer::singleShot(0, browser.Folders(), &QDialog::reject);
        browser.exec();
        EXPECT_EQ(browser.SelectedFolder(), QString());
    }
}
} // namespace
