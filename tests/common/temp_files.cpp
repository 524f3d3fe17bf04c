#include "tests/common/temp_files.h"

#include <atomic>
#include <chrono>
#include <fstream>

namespace {
std::atomic<int> g_counter{0};
}

TempFiles::TempFiles()
{
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    directory_ = std::filesystem::temp_directory_path() /
                 ("tarvelin-test-" + std::to_string(stamp) + "-" + std::to_string(g_counter++));
    std::filesystem::create_directories(directory_);
}

TempFiles::~TempFiles()
{
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

std::wstring TempFiles::Write(const std::string& name, const std::string& bytes)
{
    std::ofstream out(directory_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return PathOf(name);
}

std::wstring TempFiles::PathOf(const std::string& name) const { return (directory_ / name).wstring(); }

std::string Utf16WithMark(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}
