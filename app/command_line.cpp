#include "app/shell.h"

#include <cwchar>

namespace {

const wchar_t COM_OPTION[] = L"-com";
constexpr int COM_OPTION_CHARS = 4;

bool IsDecimalDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

int ParseComPortNumber(const wchar_t* commandLine, int* port)
{
    wchar_t copy[COMMAND_LINE_CHARS] = {};
    if (commandLine != nullptr) {
        // Cut, never overflow: the last slot stays the terminator.
        for (int i = 0; i < COMMAND_LINE_CHARS - 1 && commandLine[i] != L'\0'; ++i) {
            wchar_t c = commandLine[i];
            copy[i] = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
        }
    }
    const wchar_t* option = std::wcsstr(copy, COM_OPTION);
    if (option == nullptr) {
        return 0;
    }
    // One separator character follows the option ("-com 3", "-com=3"), unless
    // the number follows at once ("-com3").
    const wchar_t* digits = option + COM_OPTION_CHARS;
    if (*digits != L'\0' && !IsDecimalDigit(*digits)) {
        ++digits;
    }
    int value = 0;
    int count = 0;
    while (IsDecimalDigit(digits[count])) {
        if (count < COM_PORT_MAX_DIGITS) {
            value = value * 10 + (digits[count] - L'0');
        }
        ++count;
    }
    *port = (count <= COM_PORT_MAX_DIGITS) ? value : 0;
    return 1;
}
