#include "cli/cli.h"

#include <clocale>
#include <cstdlib>
#include <cwchar>

namespace {

// File names and ports come as the locale's bytes; without a locale of its
// own the program reads and names files in UTF-8.
void ChooseLocale()
{
    if (std::setlocale(LC_ALL, "") == nullptr || MB_CUR_MAX == 1) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
}

bool Widen(const char* text, std::wstring* wide)
{
    std::mbstate_t state{};
    const char* source = text;
    size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
    if (length == static_cast<size_t>(-1)) {
        return false;
    }
    wide->assign(length, L'\0');
    source = text;
    state = std::mbstate_t{};
    std::mbsrtowcs(&(*wide)[0], &source, length, &state);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    ChooseLocale();
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        std::wstring argument;
        if (!Widen(argv[i], &argument)) {
            // Not text in this locale: let the option reader refuse it.
            argument = L"-?";
        }
        arguments.push_back(argument);
    }
    return RunCli(arguments);
}
