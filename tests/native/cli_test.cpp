// The console program's portable parts: its command line, the lines it
// draws, its UTF-8 output and where a firmware will be written.
#include "cli/block_ranges.h"
#include "cli/options.h"
#include "cli/progress_line.h"
#include "cli/utf8.h"
#include "update/update.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CliOptionsTest : public testing::Test {
protected:
    void TearDown() override { SelectTableLanguage(TABLE_JAPANESE); }
};

struct GoodLine {
    std::vector<std::wstring> arguments;
    CliMode mode;
    std::vector<std::wstring> ports;
    std::wstring firmware;
    std::wstring loader;
    bool yes;
    bool simulate;
    TableLanguage language;
};

TEST_F(CliOptionsTest, AcceptedCommandLines)
{
    const GoodLine cases[] = {
        {{L"--port", L"/dev/ttyUSB0", L"fw.mot"}, CLI_UPDATE, {L"/dev/ttyUSB0"}, L"fw.mot", L"", false, false, TABLE_JAPANESE},
        {{L"--port=COM3", L"--port", L"COM4", L"-y", L"--loader", L"w.mot", L"fw.mot"},
         CLI_UPDATE, {L"COM3", L"COM4"}, L"fw.mot", L"w.mot", true, false, TABLE_JAPANESE},
        {{L"fw.mot", L"--yes", L"--port", L"p", L"--lang=en"}, CLI_UPDATE, {L"p"}, L"fw.mot", L"", true, false, TABLE_ENGLISH},
        {{L"--simulate", L"--loader=w.mot", L"fw.mot"}, CLI_UPDATE, {}, L"fw.mot", L"w.mot", false, true, TABLE_JAPANESE},
        {{L"--port", L"p", L"--", L"-odd.mot"}, CLI_UPDATE, {L"p"}, L"-odd.mot", L"", false, false, TABLE_JAPANESE},
        {{L"--check", L"fw.mot"}, CLI_CHECK, {}, L"fw.mot", L"", false, false, TABLE_JAPANESE},
        {{L"--lang", L"ja", L"--check=fw.mot"}, CLI_CHECK, {}, L"fw.mot", L"", false, false, TABLE_JAPANESE},
        {{L"--list-ports"}, CLI_LIST_PORTS, {}, L"", L"", false, false, TABLE_JAPANESE},
        {{L"--port", L"p", L"-h"}, CLI_HELP, {L"p"}, L"", L"", false, false, TABLE_JAPANESE},
    };
    for (const GoodLine& c : cases) {
        CliOptions options;
        std::wstring error;
        ASSERT_EQ(ParseCliOptions(c.arguments, &options, &error), 1) << c.arguments[0] << ": " << error.size();
        EXPECT_EQ(options.mode, c.mode) << c.arguments[0];
        EXPECT_EQ(options.ports, c.ports) << c.arguments[0];
        EXPECT_EQ(options.firmware, c.firmware) << c.arguments[0];
        EXPECT_EQ(options.loader, c.loader) << c.arguments[0];
        EXPECT_EQ(options.yes, c.yes) << c.arguments[0];
        EXPECT_EQ(options.simulate, c.simulate) << c.arguments[0];
        EXPECT_EQ(options.language, c.language) << c.arguments[0];
        SelectTableLanguage(TABLE_JAPANESE);
    }
}

TEST_F(CliOptionsTest, RefusedCommandLines)
{
    const std::pair<std::vector<std::wstring>, std::wstring> cases[] = {
        {{}, L"ファームウェアのファイルを1つ指定してください"},
        {{L"a.mot", L"b.mot", L"--port", L"p"}, L"ファームウェアのファイルを1つ指定してください"},
        {{L"--check", L"a.mot", L"b.mot"}, L"ファームウェアのファイルを1つ指定してください"},
        {{L"fw.mot"}, L"--port でポートを指定するか、--simulate を付けてください"},
        {{L"--bogus", L"fw.mot"}, L"不明なオプションです: --bogus"},
        {{L"--port"}, L"--port には値が必要です"},
        {{L"--port=", L"fw.mot"}, L"--port には値が必要です"},
        {{L"--port", L"a", L"--port", L"a", L"fw.mot"}, L"同じポートが2回指定されています: a"},
        {{L"--simulate", L"--port", L"a", L"fw.mot"}, L"--simulate と --port は同時に使えません"},
        {{L"--lang", L"fr", L"fw.mot"}, L"--lang に指定できるのは ja か en です: fr"},
        {{L"fw.mot", L"--lang"}, L"--lang には値が必要です"},
        // --lang counts wherever it stands, so the complaint is in its language.
        {{L"--lang", L"en"}, L"Name one firmware file"},
        {{L"--bogus", L"--lang", L"en"}, L"Unknown option: --bogus"},
    };
    for (const auto& [arguments, expected] : cases) {
        CliOptions options;
        std::wstring error;
        EXPECT_EQ(ParseCliOptions(arguments, &options, &error), 0) << expected.size();
        EXPECT_EQ(error, expected);
        SelectTableLanguage(TABLE_JAPANESE);
    }
}

TEST(ProgressLine, DurationsAndSizes)
{
    const std::pair<double, std::wstring> durations[] = {
        {-1, L"--:--"}, {0, L"0:00"}, {59.4, L"0:59"}, {59.6, L"1:00"}, {3599, L"59:59"}, {3600, L"1:00:00"}, {3723, L"1:02:03"},
    };
    for (const auto& [seconds, text] : durations) {
        EXPECT_EQ(FormatDuration(seconds), text) << seconds;
    }
    const std::pair<double, std::wstring> sizes[] = {
        {0, L"0 B"}, {1023, L"1023 B"}, {1024, L"1.0 KB"}, {10752, L"10.5 KB"}, {1048576, L"1.0 MB"}, {3221225472.0, L"3.0 GB"},
    };
    for (const auto& [bytes, text] : sizes) {
        EXPECT_EQ(FormatBytes(bytes), text) << bytes;
    }
}

TEST(ProgressLine, WideCharactersTakeTwoColumns)
{
    EXPECT_EQ(DisplayColumns(L"abc"), 3);
    EXPECT_EQ(DisplayColumns(L"ブロック"), 8);
    EXPECT_EQ(DisplayColumns(L"ＡＢ"), 4);
    EXPECT_EQ(FitColumns(L"ab ブロック", 5), L"ab ブ");
    EXPECT_EQ(FitColumns(L"ab ブロック", 4), L"ab ") << "half a wide character is none";
    EXPECT_EQ(FitColumns(L"abc", 10), L"abc");
    EXPECT_EQ(FitColumns(L"abc", 0), L"");
}

TEST(ProgressLine, BlocksRateAndTimeLeft)
{
    BoardProgress board;
    board.label = L"COM3";
    board.blocksTotal = 40;
    board.programming = true;
    EXPECT_EQ(BlockSummary(board), L"0/40 ブロック  --/秒  残り --:--") << "no rate before the first block";
    board.blocksDone = 20;
    board.programmingSeconds = 1.0;
    EXPECT_EQ(BlockSummary(board), L"20/40 ブロック  2.5 KB/秒  残り 0:01");
    EXPECT_EQ(ProgressLine(board, 200), L"COM3  [############............]  20/40 ブロック  2.5 KB/秒  残り 0:01");

    BoardProgress boot;
    boot.label = L"COM3";
    boot.status = L"書き換えプログラムのバイナリ送信中...";
    boot.position = 50;
    EXPECT_EQ(ProgressLine(boot, 200), L"COM3  [############............]  書き換えプログラムのバイナリ送信中...");
    EXPECT_EQ(ProgressLine(boot, 12), L"COM3  [#####");

    BoardProgress blank;  // a firmware of blank blocks only: nothing to send, all done
    blank.label = L"p";
    blank.finished = true;
    blank.result = L"完了";
    EXPECT_EQ(ProgressLine(blank, 200), L"p  [########################]  0/0 ブロック  完了");
}

TEST(Utf8, EncodesEveryWidth)
{
    const std::pair<std::wstring, std::string> cases[] = {
        {L"A~", "A~"},
        {L"\u00E9", "\xC3\xA9"},
        {L"\u30D6", "\xE3\x83\x96"},
        {std::wstring({static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}), "\xF0\x9F\x98\x80"},
        {std::wstring({static_cast<wchar_t>(0xD800), L'a'}), "\xEF\xBF\xBD" "a"},
        {std::wstring(1, static_cast<wchar_t>(0xDC00)), "\xEF\xBF\xBD"},
    };
    for (const auto& [wide, bytes] : cases) {
        EXPECT_EQ(EncodeUtf8(wide), bytes);
    }
    if (sizeof(wchar_t) == 4) {  // one wchar_t beyond the 16-bit plane
        EXPECT_EQ(EncodeUtf8(std::wstring(1, static_cast<wchar_t>(0x1F600))), "\xF0\x9F\x98\x80");
        EXPECT_EQ(EncodeUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    }
}

TEST(BlockRanges, RunsOfBlocksThatAreNotBlank)
{
    std::vector<unsigned char> image(6 * BLOCK_SIZE, 0xFF);
    image[1 * BLOCK_SIZE] = 0;                   // block 1
    image[3 * BLOCK_SIZE - 1] = 0x7F;            // block 2: its last byte
    image[5 * BLOCK_SIZE + 64] = 0xFE;           // block 5
    std::vector<BlockRange> ranges = BlocksToSend(image.data(), static_cast<int>(image.size()));
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].first, 0x80);
    EXPECT_EQ(ranges[0].last, 0x17F);
    EXPECT_EQ(ranges[0].blocks, 2);
    EXPECT_EQ(ranges[1].first, 0x280);
    EXPECT_EQ(ranges[1].last, 0x2FF);
    EXPECT_EQ(CountBlocks(ranges), 3);
    std::vector<unsigned char> blank(2 * BLOCK_SIZE, 0xFF);
    EXPECT_TRUE(BlocksToSend(blank.data(), static_cast<int>(blank.size())).empty());
}

}  // namespace
