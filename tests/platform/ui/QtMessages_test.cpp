#include "platform/ui/QtMessages.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
// What the box looks like when it is up; then OK.
struct Seen
{
    QSize size;
    QString label;
    QString scrolled;
    bool scrolls = false;
};

Seen ShowAndLook(const QString& text)
{
    Seen seen;
    QTimer::singleShot(0,
                       [&seen]
                       {
                           auto* box =
                               qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                           if (box == nullptr)
                               return;
                           seen.size = box->size();
                           seen.label = box->text();
                           if (auto* edit = box->findChild<QPlainTextEdit*>())
                           {
                               seen.scrolls = true;
                               seen.scrolled = edit->toPlainText();
                           }
                           box->accept();
                       });
    QtMessages messages;
    messages.Show(text, MB_OK, QStringLiteral("caption"));
    return seen;
}

TEST(QtMessages, AShortTextStaysInTheBoxALongOneScrollsInABoundedPart)
{
    const Seen small = ShowAndLook(QStringLiteral("Output completed."));
    EXPECT_EQ(small.label, QStringLiteral("Output completed."));
    EXPECT_FALSE(small.scrolls);

    QString findings;
    for (int i = 1; i <= 300; ++i)
        findings += QStringLiteral("Item number = %1\r\n").arg(i);
    const Seen report = ShowAndLook(
        QStringLiteral("Failed to output data.\r\nConfirm Contents data\r\n\r\n") + findings);
    EXPECT_EQ(report.label, QStringLiteral("Failed to output data.\nConfirm Contents data"));
    ASSERT_TRUE(report.scrolls);
    EXPECT_TRUE(report.scrolled.startsWith(QStringLiteral("Item number = 1\n")));
    EXPECT_TRUE(report.scrolled.contains(QStringLiteral("Item number = 300")));
    EXPECT_LT(report.size.height(), 600);
    EXPECT_LT(report.size.width(), 900);
}
} // namespace
