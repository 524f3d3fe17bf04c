// The operating system's files, as the text reader needs them: open for
// reading, read, seek, size, and the ANSI code page's conversion to wide text.
#ifndef TARVELIN_IMAGE_FILE_IO_H
#define TARVELIN_IMAGE_FILE_IO_H

struct FileHandle;

// Opens an existing file for reading, letting others read it too; null on failure.
FileHandle* FileOpenForReading(const wchar_t* path);
// 0 when the file was closed, -1 otherwise.
int FileClose(FileHandle* file);
// Reads up to bytes bytes at the current position; the count read, 0 at the
// end of the file or when the read failed.
int FileRead(FileHandle* file, void* buffer, int bytes);
// Moves to an absolute position; 1 on success, 0 on failure.
int FileSeek(FileHandle* file, long long position);
// The file's size in bytes, or -1.
long long FileSize(FileHandle* file);

// Converts count bytes of ANSI text (the locale's multibyte encoding where
// there is no ANSI code page) to at most outChars wide characters; returns
// the number stored. No terminator is written.
int AnsiToWide(const char* bytes, int count, wchar_t* out, int outChars);

#endif
