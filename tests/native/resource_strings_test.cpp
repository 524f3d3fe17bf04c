#include "app/shell.h"
#include "res/string_ids.h"
#include "res/string_table.h"
#include "tests/common/expected_strings.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>

namespace {

TEST(ResourceStrings, EveryEntryHasExactlyItsText)
{
    std::map<int, std::wstring> expected = ReadExpectedStrings(TARVELIN_TEST_DATA "/expected_strings.txt");
    ASSERT_FALSE(expected.empty());
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(std::wstring(LoadResString(id)), text) << "string " << id;
    }
    // And nothing in the program's table that the independent copy does not know.
    for (int i = 0; i < STRING_TABLE_ENTRIES; ++i) {
        if (!STRING_TABLE[i].consoleOnly) {
            EXPECT_EQ(expected.count(STRING_TABLE[i].id), 1u) << "unexpected string " << STRING_TABLE[i].id;
        }
    }
}

// The conversions of a text, in order: a translation must take the same
// arguments, or the console would print the wrong value or read past them.
std::wstring Conversions(const wchar_t* text)
{
    std::wstring found;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c != L'%') {
            continue;
        }
        const wchar_t* start = c++;
        while (*c == L'0' || (*c >= L'1' && *c <= L'9')) {
            ++c;
        }
        found.append(start, static_cast<size_t>(c - start + 1)).append(L" ");
        if (*c == L'\0') {
            break;
        }
    }
    return found;
}

TEST(ResourceStrings, EveryEntryHasATranslationTakingTheSameArguments)
{
    std::map<int, int> seen;
    for (int i = 0; i < STRING_TABLE_ENTRIES; ++i) {
        const StringTableEntry& entry = STRING_TABLE[i];
        EXPECT_EQ(++seen[entry.id], 1) << "id " << entry.id << " twice";
        EXPECT_NE(entry.english[0], L'\0') << "string " << entry.id;
        EXPECT_EQ(Conversions(entry.english), Conversions(entry.text)) << "string " << entry.id;
    }
}

TEST(ResourceStrings, EnglishWhenChosen)
{
    SelectTableLanguage(TABLE_ENGLISH);
    std::wstring english = LoadResString(IDS_KIND_VERIFY);
    std::wstring missing = LoadResString(9999);
    SelectTableLanguage(TABLE_JAPANESE);
    EXPECT_EQ(english, L"Verify");
    EXPECT_EQ(missing, L"");
    EXPECT_EQ(std::wstring(LoadResString(IDS_KIND_VERIFY)), L"ベリファイ");
}

TEST(ResourceStrings, MissingEntryIsEmptyNotNull)
{
    const wchar_t* text = LoadResString(9999);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text[0], L'\0');
}

TEST(ResourceStrings, RingOfThirtyTwo)
{
    const wchar_t* first = LoadResString(IDS_APP_NAME);
    EXPECT_EQ(std::wstring(first), L"Tarvelin");
    for (int i = 0; i < 31; ++i) {
        LoadResString(IDS_KIND_SEND);
    }
    EXPECT_EQ(std::wstring(first), L"Tarvelin") << "32 calls keep the first result";
    LoadResString(IDS_KIND_VERIFY);
    EXPECT_EQ(std::wstring(first), L"ベリファイ") << "the 33rd call reuses its slot";
}

TEST(ModuleDirectory, TrimsToTheLastSeparator)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* directory;
    };
    const Case cases[] = {
        {L"C:\\tools\\w.exe", L"C:\\tools\\"},
        {L"C:\\w.exe", L"C:\\"},
        {L"\\\\server\\share\\bin\\tarvelin.exe", L"\\\\server\\share\\bin\\"},
        {L"/usr/local/bin/tarvelin", L"/usr/local/bin/"},
        {L"tarvelin.exe", L""},
        {L"", L""},
        {L"C:\\dir\\", L"C:\\dir\\"},
    };
    for (const Case& c : cases) {
        wchar_t buffer[PATH_CHARS] = {};
        std::wcsncpy(buffer, c.path, PATH_CHARS - 1);
        TrimToDirectory(buffer);
        EXPECT_EQ(std::wstring(buffer), c.directory) << "path " << testing::PrintToString(std::wstring(c.path));
    }
}

TEST(ModuleDirectory, IsTheTestProgramsDirectory)
{
    std::wstring directory = GetModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), L'/');
}

}  // namespace
