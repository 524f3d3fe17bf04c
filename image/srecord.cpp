#include "image/srecord.h"

#include "image/text_file.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned char BLANK = 0xFF;
// "S", the type digit and the two count digits come before the address.
constexpr int RECORD_HEADER_CHARS = 4;

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

unsigned ByteAt(const wchar_t* line, int index)
{
    return static_cast<unsigned>(HexDigitValue(line[index]) * 16 + HexDigitValue(line[index + 1])) & 0xFFu;
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

// Checks one data record and copies its data into image; LOAD_OK or why not.
LoadFailure StoreRecord(const wchar_t* line, int length, int addressDigits, unsigned char* image, int* highest)
{
    for (int i = 2; i < RECORD_HEADER_CHARS; ++i) {
        if (i >= length) {
            return LOAD_RECORD_TOO_SHORT;
        }
        if (!IsHexDigit(line[i])) {
            return LOAD_INVALID_CHARACTER;
        }
    }
    int count = static_cast<int>(ByteAt(line, 2));
    int addressBytes = addressDigits / 2;
    if (count < addressBytes + 1) {
        return LOAD_RECORD_TOO_SHORT;
    }
    int recordChars = RECORD_HEADER_CHARS + 2 * count;
    for (int i = RECORD_HEADER_CHARS; i < recordChars; ++i) {
        if (i >= length) {
            return LOAD_RECORD_TOO_SHORT;
        }
        if (!IsHexDigit(line[i])) {
            return LOAD_INVALID_CHARACTER;
        }
    }
    unsigned sum = 0;
    for (int i = 2; i < recordChars - 2; i += 2) {
        sum += ByteAt(line, i);
    }
    if ((~sum & 0xFFu) != ByteAt(line, recordChars - 2)) {
        return LOAD_BAD_CHECKSUM;
    }
    unsigned long long address = 0;
    for (int i = 0; i < addressDigits; ++i) {
        address = address * 16 + static_cast<unsigned>(HexDigitValue(line[RECORD_HEADER_CHARS + i]));
    }
    int dataBytes = count - addressBytes - 1;
    if (dataBytes == 0) {
        return LOAD_OK;
    }
    if (address + static_cast<unsigned long long>(dataBytes) > static_cast<unsigned long long>(IMAGE_CAPACITY)) {
        return LOAD_BEYOND_CAPACITY;
    }
    const int dataStart = RECORD_HEADER_CHARS + addressDigits;
    for (int i = 0; i < dataBytes; ++i) {
        image[address + i] = static_cast<unsigned char>(ByteAt(line, dataStart + 2 * i));
    }
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
