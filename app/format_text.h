// printf-style formatting of resource texts, the same on every platform
// (the C libraries disagree on what %s means in a wide format).
#ifndef TARVELIN_APP_FORMAT_TEXT_H
#define TARVELIN_APP_FORMAT_TEXT_H

#include <initializer_list>

struct FormatArg {
    FormatArg(int value) : number(value), text(nullptr) {}
    FormatArg(const wchar_t* value) : number(0), text(value) {}
    int number;
    const wchar_t* text;
};

// Understands %%, %s, %d and %x with an optional '0' flag and width. The
// result is cut to capacity - 1 characters and always terminated; a
// conversion without a matching argument produces nothing.
void FormatText(wchar_t* out, int capacity, const wchar_t* format,
                std::initializer_list<FormatArg> args);

#endif
