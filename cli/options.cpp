#include "cli/options.h"

#include "app/shell.h"
#include "cli/resource_format.h"
#include "res/string_ids.h"

namespace {

// "--name=value" or "--name value": true when arguments[*index] is the
// option name, with *value taken and *index past it.
bool TakeValue(const std::vector<std::wstring>& arguments, size_t* index, const std::wstring& name,
               std::wstring* value, bool* missing)
{
    const std::wstring& argument = arguments[*index];
    if (argument.compare(0, name.size() + 1, name + L"=") == 0) {
        *value = argument.substr(name.size() + 1);
        *missing = value->empty();
        return true;
    }
    if (argument != name) {
        return false;
    }
    *missing = *index + 1 >= arguments.size();
    if (!*missing) {
        *value = arguments[++*index];
    }
    return true;
}

// --lang is looked at first, so that every other complaint is in its language.
int FindLanguage(const std::vector<std::wstring>& arguments, CliOptions* options, std::wstring* error)
{
    for (size_t i = 0; i < arguments.size() && arguments[i] != L"--"; ++i) {
        std::wstring value;
        bool missing = false;
        if (!TakeValue(arguments, &i, L"--lang", &value, &missing)) {
            continue;
        }
        if (value == L"en") {
            options->language = TABLE_ENGLISH;
        } else if (value == L"ja") {
            options->language = TABLE_JAPANESE;
        } else {
            *error = missing ? FormatResource(IDS_CLI_MISSING_VALUE, {L"--lang"}) : FormatResource(IDS_CLI_BAD_LANGUAGE, {value.c_str()});
            return 0;
        }
    }
    SelectTableLanguage(options->language);
    return 1;
}

}  // namespace

int ParseCliOptions(const std::vector<std::wstring>& arguments, CliOptions* options, std::wstring* error)
{
    if (!FindLanguage(arguments, options, error)) {
        return 0;
    }
    std::vector<std::wstring> files;
    bool optionsEnded = false;
    bool check = false, listPorts = false, help = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        std::wstring value;
        bool missing = false;
        if (optionsEnded || argument.empty() || argument[0] != L'-' || argument == L"-") {
            files.push_back(argument);
        } else if (argument == L"--") {
            optionsEnded = true;
        } else if (argument == L"--yes" || argument == L"-y") {
            options->yes = true;
        } else if (argument == L"--simulate") {
            options->simulate = true;
        } else if (argument == L"--list-ports") {
            listPorts = true;
        } else if (argument == L"--help" || argument == L"-h") {
            help = true;
        } else if (TakeValue(arguments, &i, L"--lang", &value, &missing)) {
            // read before the loop
        } else if (TakeValue(arguments, &i, L"--port", &value, &missing)) {
            if (!missing) {
                for (const std::wstring& port : options->ports) {
                    if (port == value) {
                        *error = FormatResource(IDS_CLI_DUPLICATE_PORT, {value.c_str()});
                        return 0;
                    }
                }
                options->ports.push_back(value);
            }
        } else if (TakeValue(arguments, &i, L"--loader", &value, &missing)) {
            options->loader = value;
        } else if (TakeValue(arguments, &i, L"--check", &value, &missing)) {
            check = true;
            files.push_back(value);
        } else {
            *error = FormatResource(IDS_CLI_UNKNOWN_OPTION, {argument.c_str()});
            return 0;
        }
        if (missing) {
            *error = FormatResource(IDS_CLI_MISSING_VALUE, {argument.substr(0, argument.find(L'=')).c_str()});
            return 0;
        }
    }
    if (help) {
        options->mode = CLI_HELP;
        return 1;
    }
    if (listPorts) {
        options->mode = CLI_LIST_PORTS;
        return 1;
    }
    if (files.size() != 1) {
        *error = LoadResString(IDS_CLI_ONE_FIRMWARE);
        return 0;
    }
    options->firmware = files[0];
    if (check) {
        options->mode = CLI_CHECK;
        return 1;
    }
    if (options->simulate && !options->ports.empty()) {
        *error = LoadResString(IDS_CLI_SIMULATE_WITH_PORT);
        return 0;
    }
    if (!options->simulate && options->ports.empty()) {
        *error = LoadResString(IDS_CLI_NO_PORT);
        return 0;
    }
    return 1;
}
