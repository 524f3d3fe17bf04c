#include "app/format_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Format(const wchar_t* format, std::initializer_list<FormatArg> args, int capacity = 256)
{
    wchar_t out[256];
    FormatText(out, capacity, format, args);
    return out;
}

TEST(FormatText, Conversions)
{
    EXPECT_EQ(Format(L"%sエラー Addr:0x%06x step:%d %s", {L"送信", 0x200, 3, L""}),
              L"送信エラー Addr:0x000200 step:3 ");
    EXPECT_EQ(Format(L"(%02x:%02x)", {0x5a, 0}), L"(5a:00)");
    EXPECT_EQ(Format(L"%d 行目", {12}), L"12 行目");
    EXPECT_EQ(Format(L"%d|%5d|%05d", {-7, -7, -7}), L"-7|   -7|-0007");
    EXPECT_EQ(Format(L"100%%", {}), L"100%");
    EXPECT_EQ(Format(L"%x", {static_cast<int>(0xFFFFFFFFu)}), L"ffffffff");
}

TEST(FormatText, MissingArgumentsAndTrailingPercentProduceNothing)
{
    EXPECT_EQ(Format(L"a%db%s", {}), L"ab");
    EXPECT_EQ(Format(L"a%", {1}), L"a");
    EXPECT_EQ(Format(L"%s", {static_cast<const wchar_t*>(nullptr)}), L"");
}

TEST(FormatText, CutsAtCapacity)
{
    EXPECT_EQ(Format(L"abcdef%d", {12345}, 5), L"abcd");
    EXPECT_EQ(Format(L"%s", {L"xyz"}, 1), L"");
}

}  // namespace
