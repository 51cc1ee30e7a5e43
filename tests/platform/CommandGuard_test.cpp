#include "platform/CommandGuard.h"
#include "platform/RecordingMessages.h"
#include "platform/Strings.h"

#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <stdexcept>

namespace
{
TEST(CommandGuard, WhatAHandlerThrowsBecomesTheMessageOfItsKind)
{
    static constexpr StringEntry Entries[] = {{7, u"out of memory"}, {8, u"command failed"}};
    static const StringTable Table(Entries, std::size(Entries));
    Strings::Install(Table);

    struct Case
    {
        const char* name;
        std::function<void()> handler;
        bool completes;
        QString message;
    } cases[] = {
        {"returns", [] {}, true, QString()},
        {"allocation", [] { throw std::bad_alloc(); }, false, QStringLiteral("out of memory")},
        {"array length", [] { throw std::bad_array_new_length(); }, false,
         QStringLiteral("out of memory")},
        {"runtime error", [] { throw std::runtime_error("x"); }, false,
         QStringLiteral("command failed")},
        {"not an exception class", [] { throw 3; }, false, QStringLiteral("command failed")},
    };
    for (const Case& c : cases)
    {
        RecordingMessages messages;
        EXPECT_EQ(RunCommandHandler(c.handler, 7, 8), c.completes) << c.name;
        if (c.message.isEmpty())
        {
            EXPECT_TRUE(messages.shown().isEmpty()) << c.name;
            continue;
        }
        ASSERT_EQ(messages.shown().size(), 1) << c.name;
        EXPECT_EQ(messages.shown().first().text, c.message) << c.name;
        EXPECT_EQ(messages.shown().first().flags, unsigned(MB_OK | MB_ICONSTOP)) << c.name;
    }
}
} // namespace
