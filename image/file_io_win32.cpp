#include "image/file_io.h"

#include <windows.h>

#include <new>

struct FileHandle {
    HANDLE handle;
};

FileHandle* FileOpenForReading(const wchar_t* path)
{
    if (path == nullptr) {
        return nullptr;
    }
    HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    FileHandle* file = new (std::nothrow) FileHandle{handle};
    if (file == nullptr) {
        CloseHandle(handle);
    }
    return file;
}

int FileClose(FileHandle* file)
{
    if (file == nullptr) {
        return -1;
    }
    BOOL closed = CloseHandle(file->handle);
    delete file;
    return closed ? 0 : -1;
}

int FileRead(FileHandle* file, void* buffer, int bytes)
{
    DWORD got = 0;
    if (!ReadFile(file->handle, buffer, static_cast<DWORD>(bytes), &got, nullptr)) {
        return 0;
    }
    return static_cast<int>(got);
}

int FileSeek(FileHandle* file, long long position)
{
    LONG high = static_cast<LONG>(position >> 32);
    DWORD low = SetFilePointer(file->handle, static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

long long FileSize(FileHandle* file)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(file->handle, &size) ? size.QuadPart : -1;
}

int AnsiToWide(const char* bytes, int count, wchar_t* out, int outChars)
{
    // A zero output size would ask for the size needed instead.
    if (count <= 0 || outChars <= 0) {
        return 0;
    }
    int stored = MultiByteToWideChar(CP_ACP, 0, bytes, count, out, outChars);
    if (stored == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        // Longer than the caller keeps: convert in full elsewhere, keep the start.
        int needed = MultiByteToWideChar(CP_ACP, 0, bytes, count, nullptr, 0);
        wchar_t* all = new (std::nothrow) wchar_t[static_cast<size_t>(needed)];
        if (all == nullptr) {
            return 0;
        }
        MultiByteToWideChar(CP_ACP, 0, bytes, count, all, needed);
        for (stored = 0; stored < outChars; ++stored) {
            out[stored] = all[stored];
        }
        delete[] all;
    }
    return stored;
}
