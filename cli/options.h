// The console program's command line.
#ifndef TARVELIN_CLI_OPTIONS_H
#define TARVELIN_CLI_OPTIONS_H

#include "res/string_table.h"

#include <string>
#include <vector>

// Exit codes, ordered so that the worst of several boards is the largest.
enum CliExit {
    CLI_EXIT_DONE = 0,
    CLI_EXIT_OTHER = 1,
    CLI_EXIT_USAGE = 2,
    CLI_EXIT_FILE = 3,
    CLI_EXIT_PORT = 4,
    CLI_EXIT_BOOT = 5,
    CLI_EXIT_ABORTED = 6,
    CLI_EXIT_PROGRAM = 7,
};

enum CliMode { CLI_UPDATE, CLI_CHECK, CLI_LIST_PORTS, CLI_HELP };

struct CliOptions {
    CliMode mode = CLI_UPDATE;
    std::vector<std::wstring> ports;  // as the user wrote them
    std::wstring loader;              // empty: "write.mot" beside the program
    std::wstring firmware;            // the file to write, or to check
    bool yes = false;
    bool simulate = false;
    TableLanguage language = TABLE_JAPANESE;
};

// Reads the arguments after the program name. 1 on success; otherwise 0
// with *error set to the message for the user (in options->language when
// --lang came before the fault).
int ParseCliOptions(const std::vector<std::wstring>& arguments, CliOptions* options, std::wstring* error);

#endif
