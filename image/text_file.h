// Reading a text file line by line as wide text, in the ANSI code page or in
// UTF-16LE with its byte-order mark.
#ifndef TARVELIN_IMAGE_TEXT_FILE_H
#define TARVELIN_IMAGE_TEXT_FILE_H

// The longest line a caller may ask for.
constexpr int TEXT_LINE_MAX_CHARS = 4096;
// How far ahead of the position one call looks for the line's end.
constexpr int TEXT_READ_AHEAD_BYTES = 8190;

struct TextFile;

// Opens an existing file for reading (mode "r"); null on failure.
TextFile* OpenTextFile(const wchar_t* path, const wchar_t* mode);
// 0 when the file was closed, -1 otherwise.
int CloseTextFile(TextFile* file);

// Stores the next line, without its LF (a CR before it stays), terminated, in
// line, which has room for maxChars + 1 characters; a longer line is cut to maxChars and
// the next call starts after its LF all the same. Returns the line's length:
// 0 for an empty line and at the end of the file alike (TextFileAtEnd tells
// them apart). maxChars above TEXT_LINE_MAX_CHARS, or no file, gives 0 at once.
int ReadTextLine(wchar_t* line, int maxChars, TextFile* file);

// 1 when the position lies at or past the end of the file.
int TextFileAtEnd(const TextFile* file);
// The byte position the next call starts from.
long long TextFilePosition(const TextFile* file);

#endif
