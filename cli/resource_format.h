// A string-table text with its conversions filled in, as a string.
#ifndef TARVELIN_CLI_RESOURCE_FORMAT_H
#define TARVELIN_CLI_RESOURCE_FORMAT_H

#include "app/format_text.h"

#include <string>

std::wstring FormatResource(int id, std::initializer_list<FormatArg> args);

#endif
