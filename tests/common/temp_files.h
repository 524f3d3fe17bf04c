// A private directory of test files, removed with its contents at the end.
#ifndef TARVELIN_TESTS_TEMP_FILES_H
#define TARVELIN_TESTS_TEMP_FILES_H

#include <filesystem>
#include <string>

class TempFiles {
public:
    TempFiles();
    ~TempFiles();
    TempFiles(const TempFiles&) = delete;
    TempFiles& operator=(const TempFiles&) = delete;

    // Writes bytes to a new file of that name; returns its wide path.
    std::wstring Write(const std::string& name, const std::string& bytes);
    std::wstring PathOf(const std::string& name) const;

private:
    std::filesystem::path directory_;
};

// Text as UTF-16LE bytes with the byte-order mark.
std::string Utf16WithMark(const std::wstring& text);

#endif
