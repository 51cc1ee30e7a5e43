#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/FileDialogs.h"
#include "platform/ui/QtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
TEST(FileDialogs, ScriptedAnswersAndRecordedCalls)
{
    ScriptedFileDialogs dialogs;
    dialogs.Answer("/p/a.xml");
    dialogs.Cancel();
    dialogs.AnswerMany({"/p/1.bmp", "/p/2.bmp"});
    dialogs.Answer("/p/folder");
    FileDialogs& current = FileDialogs::Current();
    EXPECT_EQ(current.GetOpenFileName(nullptr, "Open", "/p", "XML files (*.xml)"), "/p/a.xml");
    EXPECT_EQ(current.GetSaveFileName(nullptr, "Save", "/p/x.xml", "XML files (*.xml)", "xml"), "");
    EXPECT_EQ(current.GetOpenFileNames(nullptr, "Images", "/p", "*.bmp"),
              (QStringList{"/p/1.bmp", "/p/2.bmp"}));
    EXPECT_EQ(current.BrowseForFolder(nullptr, "Folder", "/p"), "/p/folder");
    // With the script used up, every dialog is cancelled.
    EXPECT_EQ(current.GetOpenFileName(nullptr, "Open", "/p", ""), "");
    ASSERT_EQ(dialogs.calls().size(), 5);
    EXPECT_EQ(dialogs.calls()[0].kind, FileDialogCall::Kind::Open);
    EXPECT_EQ(dialogs.calls()[0].title, "Open");
    EXPECT_EQ(dialogs.calls()[0].folder, "/p");
    EXPECT_EQ(dialogs.calls()[0].filter, "XML files (*.xml)");
    EXPECT_EQ(dialogs.calls()[1].kind, FileDialogCall::Kind::Save);
    EXPECT_EQ(dialogs.calls()[1].folder, "/p/x.xml");
    EXPECT_EQ(dialogs.calls()[3].kind, FileDialogCall::Kind::Folder);
}

TEST(FileDialogs, WithoutBackendEveryDialogIsCancelled)
{
    EXPECT_EQ(FileDialogs::Current().GetOpenFileName(nullptr, "t", "/", "*"), "");
    EXPECT_TRUE(FileDialogs::Current().GetOpenFileNames(nullptr, "t", "/", "*").isEmpty());
    {
        ScriptedFileDialogs dialogs;
        dialogs.Answer("/x");
    }
    EXPECT_EQ(FileDialogs::Current().GetOpenFileName(nullptr, "t", "/", "*"), "");
}

TEST(FileDialogs, WindowsFiltersBecomeQtFilters)
{
    struct Case
    {
        QString given;
        QString expected;
    };
    const Case cases[] = {
        {"XML files (*.xml)|*.xml||", "XML files (*.xml)"},
        {"Bitmap (*.bmp)|*.bmp|All files (*.*)|*.*||", "Bitmap (*.bmp);;All files (*.*)"},
        {"Voices|*.wav;*.WAV||", "Voices (*.wav *.WAV)"},
        {"Images (*.bmp;*.dib)|*.bmp;*.dib||", "Images (*.bmp *.dib)"},
        {"XML files (*.xml);;All files (*)", "XML files (*.xml);;All files (*)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileDialogs::ToQtFilter(c.given), c.expected);
}

TEST(FileDialogs, AnOpenDialogLooksForATypedNameWithItsDefaultExtension)
{
    const QString folder = TestSupport::NewFolder(QStringLiteral("open"));
    const QString picture = TestSupport::WriteFile(folder + QStringLiteral("/work.bmp"), "BM");
    TestSupport::WriteFile(folder + QStringLiteral("/work"), "no extension");
    struct Case
    {
        QString suffix;
        QString chosen;
    } cases[] = {{QStringLiteral("bmp"), picture}, {QString(), folder + QStringLiteral("/work")}};
    for (const Case& c : cases)
    {
        // Type the bare name into the dialog and accept it.
        QTimer::singleShot(0,
                           []
                           {
                               auto* dialog =
                                   qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                               ASSERT_NE(dialog, nullptr);
                               auto* name =
                                   dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                               ASSERT_NE(name, nullptr);
                               name->setText(QStringLiteral("work"));
                               static_cast<QDialog*>(dialog)->accept();
                           });
        QtFileDialogs dialogs;
        EXPECT_EQ(dialogs.GetOpenFileName(nullptr, QStringLiteral("Open"), folder,
                                          QStringLiteral("All files (*)"), c.suffix),
                  c.chosen)
            << c.suffix.toStdString();
    }
}
} // namespace
