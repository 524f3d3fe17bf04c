#include "app/shell.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandLineCase {
    const wchar_t* commandLine;
    int found;
    int port;
};

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, ReadsThePortNumber)
{
    const CommandLineCase& c = GetParam();
    int port = -1;
    EXPECT_EQ(ParseComPortNumber(c.commandLine, &port), c.found);
    if (c.found) {
        EXPECT_EQ(port, c.port);
    } else {
        EXPECT_EQ(port, -1) << "port must be left alone without -com";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    testing::Values(
        CommandLineCase{L"-com 3", 1, 3},
        CommandLineCase{L"-COM 7", 1, 7},
        CommandLineCase{L"-CoM 4", 1, 4},
        // The whole number, not its first digit: COM12 is not COM1.
        CommandLineCase{L"-com 12", 1, 12},
        CommandLineCase{L"-com 256", 1, 256},
        CommandLineCase{L"-com 9999", 1, 9999},
        CommandLineCase{L"-com 12345", 1, 0},
        CommandLineCase{L"-com 99999999999999999999", 1, 0},
        CommandLineCase{L"-com3", 1, 3},
        CommandLineCase{L"-com12", 1, 12},
        CommandLineCase{L"-com=5", 1, 5},
        CommandLineCase{L"-com:5", 1, 5},
        CommandLineCase{L"-comx5", 1, 5},
        CommandLineCase{L"-com 3x", 1, 3},
        CommandLineCase{L"-com", 1, 0},
        CommandLineCase{L"-com ", 1, 0},
        CommandLineCase{L"-com  5", 1, 0},
        CommandLineCase{L"-com x", 1, 0},
        CommandLineCase{L"/verbose -com 6 --other", 1, 6},
        // A plain substring search: inside a longer word counts too.
        CommandLineCase{L"telecom 8", 0, 0},
        CommandLineCase{L"x-compare 2", 1, 0},
        CommandLineCase{L"-com 1 -com 2", 1, 1},
        CommandLineCase{L"", 0, 0},
        CommandLineCase{L"com 3", 0, 0},
        CommandLineCase{L"-co m3", 0, 0}));

TEST(CommandLine, NullIsLikeEmpty)
{
    int port = -1;
    EXPECT_EQ(ParseComPortNumber(nullptr, &port), 0);
}

TEST(CommandLine, LongCommandLineIsCutNotOverrun)
{
    // "-com 5" placed so that its digit is the last character kept.
    std::wstring line(COMMAND_LINE_CHARS - 1 - 6, L'a');
    line += L"-com 5";
    line += std::wstring(5000, L'7');
    int port = -1;
    ASSERT_EQ(ParseComPortNumber(line.c_str(), &port), 1);
    EXPECT_EQ(port, 5) << "digits past the kept 4095 characters must not count";

    // "-com" whose separator would lie beyond the kept text.
    std::wstring edge(COMMAND_LINE_CHARS - 1 - 4, L'b');
    edge += L"-com 9";
    port = -1;
    ASSERT_EQ(ParseComPortNumber(edge.c_str(), &port), 1);
    EXPECT_EQ(port, 0);

    std::wstring beyond(COMMAND_LINE_CHARS + 100, L'c');
    beyond += L"-com 3";
    EXPECT_EQ(ParseComPortNumber(beyond.c_str(), &port), 0);
}

}  // namespace
