// The line reader against real files; built natively and for Windows.
#include "image/text_file.h"
#include "tests/common/temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Line {
    std::wstring text;
    long long positionAfter;
};

struct ReaderCase {
    const char* name;
    std::string bytes;
    int maxChars;
    std::vector<Line> lines;  // then one more call: "" and at the end
};

std::string Repeat(char c, size_t count) { return std::string(count, c); }
std::wstring Repeat(wchar_t c, size_t count) { return std::wstring(count, c); }

class ReaderTest : public testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderTest, LinesAndPositions)
{
    const ReaderCase& c = GetParam();
    TempFiles files;
    TextFile* file = OpenTextFile(files.Write("case.txt", c.bytes).c_str(), L"r");
    ASSERT_NE(file, nullptr);
    std::vector<wchar_t> buffer(static_cast<size_t>(c.maxChars) + 1, L'#');
    for (size_t i = 0; i < c.lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(TextFileAtEnd(file));
        int length = ReadTextLine(buffer.data(), c.maxChars, file);
        EXPECT_EQ(std::wstring(buffer.data()), c.lines[i].text);
        EXPECT_EQ(length, static_cast<int>(c.lines[i].text.size()));
        EXPECT_EQ(TextFilePosition(file), c.lines[i].positionAfter);
    }
    EXPECT_TRUE(TextFileAtEnd(file));
    EXPECT_EQ(ReadTextLine(buffer.data(), c.maxChars, file), 0);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(CloseTextFile(file), 0);
}

std::vector<ReaderCase> Cases()
{
    return {
        {"lf", "ab\ncd\n", 4000, {{L"ab", 3}, {L"cd", 6}}},
        {"crlf_keeps_cr", "ab\r\ncd\r\n", 4000, {{L"ab\r", 4}, {L"cd\r", 8}}},
        {"last_line_without_lf", "ab\ncd", 4000, {{L"ab", 3}, {L"cd", 6}}},
        {"empty_lines", "\n\r\n\nx", 4000, {{L"", 1}, {L"\r", 3}, {L"", 4}, {L"x", 6}}},
        {"empty_file", "", 4000, {}},
        {"cut_at_max_chars", "abcdef\nxy\n", 3, {{L"abc", 7}, {L"xy", 10}}},
        {"max_chars_zero", "abc\nd\n", 0, {{L"", 4}, {L"", 6}}},
        {"zero_byte_ends_the_text", std::string("ab\0cd\n", 6), 4000, {{L"ab", 3}, {L"cd", 6}}},
        {"line_beyond_read_ahead", Repeat('a', 10000) + "\nz\n", 4000,
         {{Repeat(L'a', 4000), 10001}, {L"z", 10003}}},
        {"line_exactly_read_ahead", Repeat('q', TEXT_READ_AHEAD_BYTES) + "\nz", 10,
         {{Repeat(L'q', 10), TEXT_READ_AHEAD_BYTES + 1}, {L"z", TEXT_READ_AHEAD_BYTES + 3}}},
        {"long_last_line", Repeat('b', 9000), 100, {{Repeat(L'b', 100), 9000}}},
        {"many_lines_across_the_cache", [] {
             std::string s;
             for (int i = 0; i < 3000; ++i) s += "S1130000" + std::to_string(i % 10) + "\n";
             return s;
         }(), 4000, [] {
             std::vector<Line> lines;
             for (int i = 0; i < 3000; ++i) lines.push_back({L"S1130000" + std::to_wstring(i % 10), (i + 1) * 10LL});
             return lines;
         }()},
        {"utf16", Utf16WithMark(L"ab\ncd"), 4000, {{L"ab", 8}, {L"cd", 14}}},
        {"utf16_crlf", Utf16WithMark(L"a\r\nb\r\n"), 4000, {{L"a\r", 8}, {L"b\r", 14}}},
        {"utf16_japanese", Utf16WithMark(L"ファーム\nウェア\n"), 4000, {{L"ファーム", 12}, {L"ウェア", 20}}},
        {"utf16_cut_at_max_chars", Utf16WithMark(L"abcd\nef\n"), 2, {{L"ab", 12}, {L"ef", 18}}},
        {"utf16_mark_only", "\xFF\xFE", 4000, {{L"", 4}}},
        {"utf16_empty_lines", Utf16WithMark(L"\n\nx\n"), 4000, {{L"", 4}, {L"", 6}, {L"x", 10}}},
        {"utf16_line_beyond_read_ahead", Utf16WithMark(Repeat(L'w', 5000) + L"\nv\n"), 4000,
         {{Repeat(L'w', 4000), 2 + 10002}, {L"v", 2 + 10006}}},
        {"one_byte_file", "x", 4000, {{L"x", 2}}},
    };
}

std::string CaseName(const testing::TestParamInfo<ReaderCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Files, ReaderTest, testing::ValuesIn(Cases()), CaseName);

TEST(TextFile, RefusesWhatItCannotRead)
{
    TempFiles files;
    EXPECT_EQ(OpenTextFile(files.PathOf("missing.txt").c_str(), L"r"), nullptr);
    EXPECT_EQ(OpenTextFile(files.Write("w.txt", "x").c_str(), L"w"), nullptr) << "read only";
    EXPECT_EQ(CloseTextFile(nullptr), -1);
    wchar_t line[8] = {L'#'};
    EXPECT_EQ(ReadTextLine(line, 4, nullptr), 0);
}

TEST(TextFile, MaxCharsAboveTheLimitReadsNothing)
{
    TempFiles files;
    TextFile* file = OpenTextFile(files.Write("a.txt", "abc\n").c_str(), L"r");
    ASSERT_NE(file, nullptr);
    std::vector<wchar_t> line(TEXT_LINE_MAX_CHARS + 2, L'#');
    EXPECT_EQ(ReadTextLine(line.data(), TEXT_LINE_MAX_CHARS + 1, file), 0);
    EXPECT_EQ(line[0], L'#') << "the buffer is not touched";
    EXPECT_EQ(TextFilePosition(file), 0);
    EXPECT_EQ(ReadTextLine(line.data(), TEXT_LINE_MAX_CHARS, file), 3);
    EXPECT_EQ(CloseTextFile(file), 0);
}

}  // namespace
