// The S-record loader against real files; built natively and for Windows.
#include "image/srecord.h"
#include "tests/common/srecord_records.h"
#include "tests/common/temp_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Sequence(int count, int first = 0)
{
    Bytes bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<unsigned char>(first + i));
    }
    return bytes;
}

struct Loaded {
    unsigned char* image = nullptr;
    int size = -1;
    LoadError error{LOAD_OK, -1};
    ~Loaded() { std::free(image); }
};

void Load(const std::wstring& path, Loaded* loaded)
{
    loaded->image = LoadSRecordImage(path.c_str(), &loaded->size, &loaded->error);
}

// Expected image: size and the bytes that are not 0xFF.
struct GoodCase {
    const char* name;
    std::string text;
    int size;
    std::map<int, unsigned char> bytes;
};

class LoadsTest : public testing::TestWithParam<GoodCase> {};

TEST_P(LoadsTest, Image)
{
    const GoodCase& c = GetParam();
    for (bool utf16 : {false, true}) {
        SCOPED_TRACE(utf16 ? "UTF-16LE" : "ANSI");
        TempFiles files;
        std::wstring wide(c.text.begin(), c.text.end());
        Loaded loaded;
        Load(files.Write("fw.mot", utf16 ? Utf16WithMark(wide) : c.text), &loaded);
        ASSERT_NE(loaded.image, nullptr) << "failure " << loaded.error.failure << " line " << loaded.error.line;
        EXPECT_EQ(loaded.error.failure, LOAD_OK);
        ASSERT_EQ(loaded.size, c.size);
        for (int a = 0; a < c.size; ++a) {
            auto found = c.bytes.find(a);
            unsigned char expected = found == c.bytes.end() ? 0xFF : found->second;
            ASSERT_EQ(loaded.image[a], expected) << "address " << a;
        }
    }
}

std::map<int, unsigned char> At(int address, const Bytes& data)
{
    std::map<int, unsigned char> bytes;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] != 0xFF) {
            bytes[address + static_cast<int>(i)] = data[i];
        }
    }
    return bytes;
}

std::map<int, unsigned char> Merge(std::map<int, unsigned char> a, const std::map<int, unsigned char>& b)
{
    for (const auto& entry : b) {
        a[entry.first] = entry.second;
    }
    return a;
}

std::vector<GoodCase> GoodCases()
{
    const std::string r16 = DataRecord(1, 0, Sequence(16));
    std::string lower = DataRecord(1, 0x10, {0xAB, 0xCD});
    for (char& ch : lower) {
        if (ch >= 'A' && ch <= 'F') ch = static_cast<char>(ch - 'A' + 'a');
    }
    lower[0] = 'S';
    return {
        {"one_s1_record", r16 + "\n", 16, At(0, Sequence(16))},
        {"crlf_and_no_final_lf", r16 + "\r\n" + DataRecord(1, 16, {1}), 17, Merge(At(0, Sequence(16)), At(16, {1}))},
        {"loader_at_f780", DataRecord(1, 0xF780, Sequence(8, 1)) + "\n", 0xF788, At(0xF780, Sequence(8, 1))},
        {"s2_and_s3", DataRecord(2, 0x012345, {9}) + "\n" + DataRecord(3, 0x00054321, {7, 8}) + "\n", 0x54323,
         Merge(At(0x12345, {9}), At(0x54321, {7, 8}))},
        {"other_lines_ignored",
         "S00600004844521B\n" + r16 + "\nS5030001FB\nS9030000FC\nS70500000000FA\nS804000000FB\n" +
             "s1130000ZZZZ\n; comment\nS4garbage\nS\n",
         16, At(0, Sequence(16))},
        {"out_of_order_gaps_and_overlap_later_wins",
         DataRecord(1, 0x200, {5, 6}) + "\n" + DataRecord(1, 0x100, {1, 2, 3}) + "\n" + DataRecord(1, 0x101, {9}) + "\n",
         0x202, Merge(At(0x100, {1, 9, 3}), At(0x200, {5, 6}))},
        {"lower_case_hex", lower + "\n", 0x12, At(0x10, {0xAB, 0xCD})},
        {"trailing_blank_and_junk_after_checksum", r16 + "   trailing\r\n", 16, At(0, Sequence(16))},
        {"record_without_data", RawRecord('1', {3, 0x12, 0x34}) + "\n" + DataRecord(1, 2, {4}) + "\n", 3, At(2, {4})},
        {"blank_line_does_not_end_the_file", r16 + "\n\n" + DataRecord(1, 0x40, {0x11}) + "\n", 0x41,
         Merge(At(0, Sequence(16)), At(0x40, {0x11}))},
        {"blank_crlf_lines_too", r16 + "\r\n\r\n\r\n" + DataRecord(1, 0x20, {0x22}) + "\r\n", 0x21,
         Merge(At(0, Sequence(16)), At(0x20, {0x22}))},
        {"last_byte_of_capacity", DataRecord(3, IMAGE_CAPACITY - 1, {0x5A}) + "\n", IMAGE_CAPACITY,
         At(IMAGE_CAPACITY - 1, {0x5A})},
        {"no_data_records", "S00600004844521B\nS9030000FC\n", 0, {}},
        {"empty_file", "", 0, {}},
    };
}

std::string GoodName(const testing::TestParamInfo<GoodCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Files, LoadsTest, testing::ValuesIn(GoodCases()), GoodName);

struct BadCase {
    const char* name;
    std::string text;
    LoadFailure failure;
    int line;
};

class RefusesTest : public testing::TestWithParam<BadCase> {};

TEST_P(RefusesTest, Reason)
{
    const BadCase& c = GetParam();
    TempFiles files;
    Loaded loaded;
    loaded.size = 1234;
    Load(files.Write("bad.mot", c.text), &loaded);
    EXPECT_EQ(loaded.image, nullptr);
    EXPECT_EQ(loaded.size, 1234) << "size is left alone on failure";
    EXPECT_EQ(loaded.error.failure, c.failure);
    EXPECT_EQ(loaded.error.line, c.line);
}

std::vector<BadCase> BadCases()
{
    const std::string good = DataRecord(1, 0, Sequence(4)) + "\n";
    std::string badSum = DataRecord(1, 0x10, {1, 2, 3});
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    std::string nonHex = DataRecord(1, 0x10, {0xAA, 0xBB});
    nonHex[8] = 'G';
    std::string blankInside = DataRecord(1, 0x10, {0xAA, 0xBB});
    blankInside[9] = ' ';
    std::string shortLine = DataRecord(2, 0x10, Sequence(8));
    shortLine.resize(shortLine.size() - 4);
    std::string badCountDigit = DataRecord(1, 0, {1});
    badCountDigit[3] = 'x';
    return {
        {"bad_checksum", good + badSum + "\n", LOAD_BAD_CHECKSUM, 2},
        {"bad_checksum_after_blank_line", good + "\n" + badSum + "\n", LOAD_BAD_CHECKSUM, 3},
        {"non_hex_letter_in_data", good + good + nonHex + "\n", LOAD_INVALID_CHARACTER, 3},
        {"blank_inside_record", blankInside + "\n", LOAD_INVALID_CHARACTER, 1},
        {"non_hex_count", badCountDigit + "\n", LOAD_INVALID_CHARACTER, 1},
        {"line_shorter_than_its_count", shortLine + "\r\n", LOAD_RECORD_TOO_SHORT, 1},
        {"type_only", "S1\n", LOAD_RECORD_TOO_SHORT, 1},
        {"count_without_address", RawRecord('1', {2, 0x00, 0x10}) + "\n", LOAD_RECORD_TOO_SHORT, 1},
        {"count_zero", RawRecord('3', {0}) + "\n", LOAD_RECORD_TOO_SHORT, 1},
        {"data_reaching_capacity", DataRecord(3, IMAGE_CAPACITY - 1, {1, 2}) + "\n", LOAD_BEYOND_CAPACITY, 1},
        {"s2_at_capacity", DataRecord(2, IMAGE_CAPACITY, {1}) + "\n", LOAD_BEYOND_CAPACITY, 1},
        {"s3_far_above", good + DataRecord(3, 0xFFFFFFF0ul, {1}) + "\n", LOAD_BEYOND_CAPACITY, 2},
    };
}

std::string BadName(const testing::TestParamInfo<BadCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Files, RefusesTest, testing::ValuesIn(BadCases()), BadName);

TEST(SRecord, MissingFileCannotBeOpened)
{
    TempFiles files;
    Loaded loaded;
    Load(files.PathOf("absent.mot"), &loaded);
    EXPECT_EQ(loaded.image, nullptr);
    EXPECT_EQ(loaded.size, -1);
    EXPECT_EQ(loaded.error.failure, LOAD_CANNOT_OPEN);
    EXPECT_EQ(loaded.error.line, 0);
}

TEST(SRecord, SizeAndErrorMayBeOmitted)
{
    TempFiles files;
    unsigned char* image = LoadSRecordImage(files.Write("a.mot", DataRecord(1, 0, {0x42}) + "\n").c_str(), nullptr, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image[0], 0x42);
    std::free(image);
    EXPECT_EQ(LoadSRecordImage(files.PathOf("absent.mot").c_str(), nullptr, nullptr), nullptr);
}

TEST(SRecord, HexDigitValue)
{
    const struct {
        wchar_t c;
        int value;
    } cases[] = {{L'0', 0}, {L'9', 9}, {L'A', 10}, {L'F', 15}, {L'a', 10}, {L'f', 15}, {L'G', 16},
                 {L'Z', 35}, {L'z', 35}, {L' ', 0}, {L'-', 0}, {L'\0', 0}, {L'ア', 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(HexDigitValue(c.c), c.value) << static_cast<int>(c.c);
    }
}

}  // namespace
