#include "image/srecord.h"

#include "image/text_file.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned char BLANK = 0xFF;
// "S", the type digit and the two count digits come before the address.
constexpr int RECORD_HEADER_CHARS = 4;

constexpr int NOT_HEX = -1;
constexpr int MAX_RECORD_BYTES = 255;

// The value of a hex digit, or NOT_HEX.
int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    return NOT_HEX;
}

// Address digits of a data record, or 0 for any other line.
int AddressDigits(const wchar_t* line)
{
    if (line[0] != L'S') {
        return 0;
    }
    switch (line[1]) {
    case L'1':
        return 4;
    case L'2':
        return 6;
    case L'3':
        return 8;
    default:
        return 0;
    }
}

// Decodes pairs of hex digits from line[from] into bytes; LOAD_OK or why not.
LoadFailure DecodeBytes(const wchar_t* line, int length, int from, int count, unsigned char* bytes)
{
    for (int i = 0; i < count; ++i) {
        int at = from + 2 * i;
        if (at + 1 >= length) {
            return at < length && HexValue(line[at]) == NOT_HEX ? LOAD_INVALID_CHARACTER : LOAD_RECORD_TOO_SHORT;
        }
        int high = HexValue(line[at]);
        int low = HexValue(line[at + 1]);
        if (high == NOT_HEX || low == NOT_HEX) {
            return LOAD_INVALID_CHARACTER;
        }
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return LOAD_OK;
}

// Checks one data record and copies its data into image; LOAD_OK or why not.
LoadFailure StoreRecord(const wchar_t* line, int length, int addressDigits, unsigned char* image, int* highest)
{
    // bytes[0] is the count; then address, data and checksum.
    unsigned char bytes[1 + MAX_RECORD_BYTES];
    LoadFailure failure = DecodeBytes(line, length, 2, 1, bytes);
    if (failure != LOAD_OK) {
        return failure;
    }
    int count = bytes[0];
    int addressBytes = addressDigits / 2;
    if (count < addressBytes + 1) {
        return LOAD_RECORD_TOO_SHORT;
    }
    failure = DecodeBytes(line, length, RECORD_HEADER_CHARS, count, bytes + 1);
    if (failure != LOAD_OK) {
        return failure;
    }
    unsigned sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    if ((~sum & 0xFFu) != bytes[count]) {
        return LOAD_BAD_CHECKSUM;
    }
    unsigned long long address = 0;
    for (int i = 1; i <= addressBytes; ++i) {
        address = address * 256 + bytes[i];
    }
    int dataBytes = count - addressBytes - 1;
    if (dataBytes == 0) {
        return LOAD_OK;
    }
    if (address + static_cast<unsigned long long>(dataBytes) > static_cast<unsigned long long>(IMAGE_CAPACITY)) {
        return LOAD_BEYOND_CAPACITY;
    }
    std::memcpy(image + address, bytes + 1 + addressBytes, static_cast<size_t>(dataBytes));
    int end = static_cast<int>(address) + dataBytes;
    if (end > *highest) {
        *highest = end;
    }
    return LOAD_OK;
}

void Report(LoadError* error, LoadFailure failure, int line)
{
    if (error != nullptr) {
        *error = {failure, line};
    }
}

}  // namespace

int HexDigitValue(wchar_t c)
{
    if (c >= L'A' && c <= L'Z') {
        return c - L'A' + 10;
    }
    if (c >= L'a' && c <= L'z') {
        return c - L'a' + 10;
    }
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    return 0;
}

unsigned char* LoadSRecordImage(const wchar_t* path, int* size, LoadError* error)
{
    Report(error, LOAD_OK, 0);
    unsigned char* image = static_cast<unsigned char*>(std::malloc(IMAGE_CAPACITY));
    if (image == nullptr) {
        Report(error, LOAD_OUT_OF_MEMORY, 0);
        return nullptr;
    }
    TextFile* file = OpenTextFile(path, L"r");
    if (file == nullptr) {
        std::free(image);
        Report(error, LOAD_CANNOT_OPEN, 0);
        return nullptr;
    }
    std::memset(image, BLANK, IMAGE_CAPACITY);

    static_assert(SRECORD_LINE_CHARS < TEXT_LINE_MAX_CHARS, "line buffer holds the longest line");
    wchar_t line[TEXT_LINE_MAX_CHARS] = {};
    int highest = 0;
    int lineNumber = 0;
    LoadFailure failure = LOAD_OK;
    // An empty line is no end of the file: only the position tells.
    while (failure == LOAD_OK && !TextFileAtEnd(file)) {
        int length = ReadTextLine(line, SRECORD_LINE_CHARS, file);
        ++lineNumber;
        int addressDigits = AddressDigits(line);
        // Line-end and trailing blanks are no part of a record.
        while (length > 0 && (line[length - 1] == L'\r' || line[length - 1] == L' ' || line[length - 1] == L'\t')) {
            --length;
        }
        if (length >= 2 && addressDigits != 0) {
            failure = StoreRecord(line, length, addressDigits, image, &highest);
        }
    }
    CloseTextFile(file);
    if (failure != LOAD_OK) {
        std::free(image);
        Report(error, failure, lineNumber);
        return nullptr;
    }

    // malloc(0) may give null, which would read as a failure.
    unsigned char* result = static_cast<unsigned char*>(std::malloc(highest > 0 ? highest : 1));
    if (result == nullptr) {
        std::free(image);
        Report(error, LOAD_OUT_OF_MEMORY, 0);
        return nullptr;
    }
    std::memcpy(result, image, static_cast<size_t>(highest));
    std::free(image);
    if (size != nullptr) {
        *size = highest;
    }
    return result;
}
