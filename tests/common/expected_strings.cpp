#include "tests/common/expected_strings.h"

#include <fstream>

namespace {

// Appends one Unicode code point; outside the BMP as a surrogate pair where
// wchar_t is 16 bits wide.
void AppendCodePoint(std::wstring& text, unsigned code)
{
    if (sizeof(wchar_t) == 2 && code > 0xFFFF) {
        code -= 0x10000;
        text += static_cast<wchar_t>(0xD800 + (code >> 10));
        text += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
        text += static_cast<wchar_t>(code);
    }
}

std::wstring DecodeLine(const std::string& raw)
{
    std::wstring text;
    for (size_t i = 0; i < raw.size();) {
        unsigned char c = static_cast<unsigned char>(raw[i]);
        if (c == '\\' && i + 1 < raw.size() && (raw[i + 1] == 'r' || raw[i + 1] == 'n')) {
            text += raw[i + 1] == 'r' ? L'\r' : L'\n';
            i += 2;
            continue;
        }
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        unsigned code = extra == 0 ? c : (c & (0x3Fu >> extra));
        for (int k = 1; k <= extra && i + k < raw.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(raw[i + k]) & 0x3Fu);
        }
        AppendCodePoint(text, code);
        i += 1 + extra;
    }
    return text;
}

}  // namespace

std::map<int, std::wstring> ReadExpectedStrings(const std::string& path)
{
    std::map<int, std::wstring> expected;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            continue;
        }
        expected[std::stoi(line.substr(0, tab))] = DecodeLine(line.substr(tab + 1));
    }
    return expected;
}
