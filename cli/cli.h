// The console program: everything after the platform's entry point.
#ifndef TARVELIN_CLI_CLI_H
#define TARVELIN_CLI_CLI_H

#include <string>
#include <vector>

// Runs the program with the arguments after its name; returns the exit code.
int RunCli(const std::vector<std::wstring>& arguments);

#endif
