#include "image/file_io.h"

#include "app/narrow_path.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

struct FileHandle {
    int descriptor;
};

namespace {

// Shown for a byte sequence that is no character in the locale's encoding.
const wchar_t REPLACEMENT_CHARACTER = 0xFFFD;

}  // namespace

FileHandle* FileOpenForReading(const wchar_t* path)
{
    std::string narrow;
    if (path == nullptr || !NarrowPath(path, &narrow)) {
        return nullptr;
    }
    int descriptor;
    do {
        descriptor = open(narrow.c_str(), O_RDONLY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        return nullptr;
    }
    FileHandle* file = new (std::nothrow) FileHandle{descriptor};
    if (file == nullptr) {
        close(descriptor);
    }
    return file;
}

int FileClose(FileHandle* file)
{
    if (file == nullptr) {
        return -1;
    }
    int result = close(file->descriptor);
    delete file;
    return result == 0 ? 0 : -1;
}

int FileRead(FileHandle* file, void* buffer, int bytes)
{
    char* at = static_cast<char*>(buffer);
    int total = 0;
    while (total < bytes) {
        ssize_t got = read(file->descriptor, at + total, static_cast<size_t>(bytes - total));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        total += static_cast<int>(got);
    }
    return total;
}

int FileSeek(FileHandle* file, long long position)
{
    return lseek(file->descriptor, static_cast<off_t>(position), SEEK_SET) == static_cast<off_t>(position);
}

long long FileSize(FileHandle* file)
{
    struct stat status;
    return fstat(file->descriptor, &status) == 0 ? static_cast<long long>(status.st_size) : -1;
}

int AnsiToWide(const char* bytes, int count, wchar_t* out, int outChars)
{
    std::mbstate_t state{};
    int stored = 0;
    int at = 0;
    while (at < count && stored < outChars) {
        unsigned char first = static_cast<unsigned char>(bytes[at]);
        // ASCII is itself in every encoding a locale may use here, and the
        // state is back at its start after every character below.
        if (first < 0x80) {
            out[stored++] = static_cast<wchar_t>(first);
            ++at;
            continue;
        }
        wchar_t c;
        size_t used = std::mbrtowc(&c, bytes + at, static_cast<size_t>(count - at), &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
            c = REPLACEMENT_CHARACTER;
            used = 1;
            state = std::mbstate_t{};
        } else if (used == 0) {
            used = 1;  // an embedded zero byte is a character like any other
        }
        out[stored++] = c;
        at += static_cast<int>(used);
    }
    return stored;
}
