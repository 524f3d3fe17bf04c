#include "image/text_file.h"

#include "image/file_io.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace {

// Bytes kept from the file between calls, so that a line costs no read of
// its own; every call still sees exactly the bytes at its position.
constexpr int CACHE_BYTES = 1 << 16;
constexpr int SCAN_CHUNK_BYTES = 1 << 12;

enum Encoding { ENCODING_UNKNOWN, ENCODING_ANSI, ENCODING_UTF16LE };

}  // namespace

struct TextFile {
    FileHandle* handle;
    long long size;
    long long position;
    Encoding encoding;
    long long cacheStart;
    int cacheBytes;
    unsigned char cache[CACHE_BYTES];
};

namespace {

// The bytes at [position, position + wanted) that the file has, at most
// wanted; *available is their count.
const unsigned char* Window(TextFile* file, long long position, int wanted, int* available)
{
    long long remaining = file->size - position;
    if (position < 0 || remaining <= 0) {
        *available = 0;
        return file->cache;
    }
    int count = remaining < wanted ? static_cast<int>(remaining) : wanted;
    bool cached = position >= file->cacheStart && position + count <= file->cacheStart + file->cacheBytes;
    if (!cached) {
        file->cacheStart = position;
        file->cacheBytes = FileSeek(file->handle, position) ? FileRead(file->handle, file->cache, CACHE_BYTES) : 0;
        // A read that fails behaves like the end of the file.
        if (file->cacheBytes < count) {
            count = file->cacheBytes;
        }
    }
    *available = count;
    return file->cache + (position - file->cacheStart);
}

Encoding DetectEncoding(TextFile* file)
{
    int available = 0;
    const unsigned char* probe = Window(file, 0, 2, &available);
    return available == 2 && probe[0] == 0xFF && probe[1] == 0xFE ? ENCODING_UTF16LE : ENCODING_ANSI;
}

// Position after the end of a line that did not end within the read-ahead:
// after its next terminator (an LF, or a zero unit as in the read-ahead) or
// at the end of the file. unitBytes is 1 for ANSI, 2 for UTF-16LE.
long long ScanPastLine(TextFile* file, long long from, int unitBytes)
{
    long long at = from;
    for (;;) {
        int available = 0;
        const unsigned char* bytes = Window(file, at, SCAN_CHUNK_BYTES, &available);
        available -= available % unitBytes;
        if (available == 0) {
            return file->size;
        }
        for (int i = 0; i < available; i += unitBytes) {
            unsigned unit = unitBytes == 1 ? bytes[i] : bytes[i] | (bytes[i + 1] << 8);
            if (unit == L'\n' || unit == 0) {
                return at + i + unitBytes;
            }
        }
        at += available;
    }
}

int ReadAnsiLine(TextFile* file, const unsigned char* bytes, int count, wchar_t* line, int maxChars)
{
    // The byte text ends at the first zero or LF byte; the position moves past it.
    int end = 0;
    while (end < count && bytes[end] != 0 && bytes[end] != '\n') {
        ++end;
    }
    int converted = AnsiToWide(reinterpret_cast<const char*>(bytes), end, line, maxChars);
    line[converted] = L'\0';
    if (end == TEXT_READ_AHEAD_BYTES) {
        file->position = ScanPastLine(file, file->position + end, 1);
    } else {
        file->position += end + 1;
    }
    return converted;
}

int ReadUtf16Line(TextFile* file, const unsigned char* bytes, int count, wchar_t* line, int maxChars)
{
    int skipped = 0;
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        skipped = 2;
    }
    // An odd last byte pairs with a zero high byte, as in a zero-filled buffer.
    int units = (count - skipped + 1) / 2;
    int length = 0;
    bool ended = false;
    for (; length < units; ++length) {
        int at = skipped + 2 * length;
        unsigned unit = bytes[at] | (at + 1 < count ? bytes[at + 1] << 8 : 0);
        if (unit == 0 || unit == L'\n') {
            ended = true;
            break;
        }
        if (length < maxChars) {
            line[length] = static_cast<wchar_t>(unit);
        }
    }
    int stored = length < maxChars ? length : maxChars;
    line[stored] = L'\0';
    if (!ended && count == TEXT_READ_AHEAD_BYTES) {
        file->position = ScanPastLine(file, file->position + skipped + 2 * length, 2);
    } else {
        file->position += skipped + 2 * length + 2;
    }
    return stored;
}

}  // namespace

TextFile* OpenTextFile(const wchar_t* path, const wchar_t* mode)
{
    if (mode == nullptr || std::wcscmp(mode, L"r") != 0) {
        return nullptr;
    }
    FileHandle* handle = FileOpenForReading(path);
    if (handle == nullptr) {
        return nullptr;
    }
    long long size = FileSize(handle);
    TextFile* file = size < 0 ? nullptr : new (std::nothrow) TextFile;
    if (file == nullptr) {
        FileClose(handle);
        return nullptr;
    }
    file->handle = handle;
    file->size = size;
    file->position = 0;
    file->encoding = ENCODING_UNKNOWN;
    file->cacheStart = 0;
    file->cacheBytes = 0;
    return file;
}

int CloseTextFile(TextFile* file)
{
    if (file == nullptr) {
        return -1;
    }
    int result = FileClose(file->handle);
    delete file;
    return result;
}

int ReadTextLine(wchar_t* line, int maxChars, TextFile* file)
{
    if (file == nullptr || line == nullptr || maxChars < 0 || maxChars > TEXT_LINE_MAX_CHARS) {
        return 0;
    }
    if (file->encoding == ENCODING_UNKNOWN) {
        file->encoding = DetectEncoding(file);
    }
    // Only the text and its terminator are written: clearing all maxChars
    // characters of every line cost more than the rest of the reading.
    line[0] = L'\0';
    int count = 0;
    const unsigned char* bytes = Window(file, file->position, TEXT_READ_AHEAD_BYTES, &count);
    if (file->encoding == ENCODING_UTF16LE) {
        return ReadUtf16Line(file, bytes, count, line, maxChars);
    }
    return ReadAnsiLine(file, bytes, count, line, maxChars);
}

int TextFileAtEnd(const TextFile* file) { return file == nullptr || file->position >= file->size; }

long long TextFilePosition(const TextFile* file) { return file == nullptr ? -1 : file->position; }
