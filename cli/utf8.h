// Wide text as UTF-8 bytes, whatever the width of wchar_t.
#ifndef TARVELIN_CLI_UTF8_H
#define TARVELIN_CLI_UTF8_H

#include <string>

// Surrogate pairs (16-bit wchar_t) become one character; an unpaired
// surrogate or a value beyond Unicode becomes U+FFFD.
std::string EncodeUtf8(const std::wstring& text);

#endif
