#include "cli/utf8.h"

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;
constexpr char32_t UNICODE_LAST = 0x10FFFF;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void Append(std::string* out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string EncodeUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
        }
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<char32_t>(text[i + 1]) & 0xFFFF)) {
            char32_t low = static_cast<char32_t>(text[++i]) & 0xFFFF;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > UNICODE_LAST) {
            c = REPLACEMENT;
        }
        Append(&out, c);
    }
    return out;
}
