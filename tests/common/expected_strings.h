// The independent copy of the program's texts (tests/data/expected_strings.txt).
#ifndef TARVELIN_TESTS_EXPECTED_STRINGS_H
#define TARVELIN_TESTS_EXPECTED_STRINGS_H

#include <map>
#include <string>

// "id<TAB>text" lines, UTF-8, \r and \n standing for CR and LF; '#' starts a
// comment line. Empty when the file cannot be read.
std::map<int, std::wstring> ReadExpectedStrings(const std::string& path);

#endif
