// The ANSI code page under Windows: Japanese Shift-JIS text (code page 932).
#include "image/text_file.h"
#include "tests/common/temp_files.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(TextFileAnsi, ShiftJisLinesInCodePage932)
{
    if (GetACP() != 932) {
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
    }
    TempFiles files;
    // "ファーム" CR LF, "ウェア" LF in Shift-JIS.
    TextFile* file = OpenTextFile(files.Write("sjis.txt", "\x83\x74\x83\x40\x81\x5B\x83\x80\r\n\x83\x45\x83\x46\x83\x41\n").c_str(), L"r");
    ASSERT_NE(file, nullptr);
    wchar_t line[16];
    EXPECT_EQ(ReadTextLine(line, 15, file), 5);
    EXPECT_EQ(std::wstring(line), L"ファーム\r");
    EXPECT_EQ(TextFilePosition(file), 10);
    EXPECT_EQ(ReadTextLine(line, 2, file), 2);
    EXPECT_EQ(std::wstring(line), L"ウェ");
    EXPECT_EQ(TextFilePosition(file), 17);
    EXPECT_EQ(CloseTextFile(file), 0);
}

}  // namespace
