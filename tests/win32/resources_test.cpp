// The resources and the shell helpers as the real Win32 API sees them.
#include "app/shell.h"
#include "app/shell_win32.h"
#include "res/resource.h"
#include "res/string_ids.h"
#include "tests/common/expected_strings.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const WORD JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// A Unix path from the environment, as Wine's drive Z: shows it.
std::string WindowsPathFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    std::string path = value ? value : "";
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

class ResourceTest : public testing::Test {
protected:
    void SetUp() override { g_hInstance = GetModuleHandleW(nullptr); }
};

std::vector<unsigned char> ResourceBytes(LPCWSTR type, LPCWSTR name, WORD language = JAPANESE)
{
    HRSRC found = FindResourceExW(nullptr, type, name, language);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(nullptr, found);
    const unsigned char* bytes = static_cast<const unsigned char*>(LockResource(loaded));
    return std::vector<unsigned char>(bytes, bytes + SizeofResource(nullptr, found));
}

TEST_F(ResourceTest, EveryStringHasExactlyItsText)
{
    std::map<int, std::wstring> expected = ReadExpectedStrings(WindowsPathFromEnvironment("TARVELIN_EXPECTED_STRINGS"));
    ASSERT_FALSE(expected.empty()) << "TARVELIN_EXPECTED_STRINGS must name the expected texts";
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(std::wstring(LoadResString(id)), text) << "string " << id;
    }
    EXPECT_EQ(std::wstring(LoadResString(9999)), L"");
}

TEST_F(ResourceTest, StringBlocksAreJapanese)
{
    for (int id : {IDS_APP_NAME, IDS_WRITE_ABORTED, IDS_PORT_UNAVAILABLE, IDS_UPDATE_COMPLETE, IDS_SERIAL_READ_FAILED}) {
        EXPECT_FALSE(ResourceBytes(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1)).empty()) << "block of string " << id;
    }
}

TEST_F(ResourceTest, NullInstanceFindsTheProgramsOwnStrings)
{
    g_hInstance = nullptr;
    EXPECT_EQ(std::wstring(LoadResString(IDS_APP_NAME)), L"Tarvelin");
}

TEST_F(ResourceTest, RingOverwritesTheFirstResultOnTheThirtyThirdCall)
{
    const wchar_t* first = LoadResString(IDS_APP_NAME);
    for (int i = 0; i < 31; ++i) {
        LoadResString(IDS_KIND_RECEIVE);
    }
    EXPECT_EQ(std::wstring(first), L"Tarvelin");
    LoadResString(IDS_KIND_SEND);
    EXPECT_EQ(std::wstring(first), L"送信");
}

TEST_F(ResourceTest, ModuleDirectoryHoldsThisProgram)
{
    std::wstring directory = GetModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), L'\\');
    wchar_t path[MAX_PATH];
    ASSERT_NE(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    std::wstring own = path;
    EXPECT_EQ(own.substr(0, directory.size()), directory);
    EXPECT_EQ(own.find(L'\\', directory.size()), std::wstring::npos);
}

// Reads a DLGTEMPLATEEX, field by field, as the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    WORD Word() { return static_cast<WORD>(Byte() | (Byte() << 8)); }
    DWORD Dword() { return Word() | (static_cast<DWORD>(Word()) << 16); }
    short Short() { return static_cast<short>(Word()); }
    unsigned char Byte() { return offset_ < bytes_.size() ? bytes_[offset_++] : 0; }
    std::wstring Text()
    {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text += static_cast<wchar_t>(c);
        }
        return text;
    }
    // A name or an ordinal; ordinals come back as "#n".
    std::wstring NameOrOrdinal()
    {
        size_t start = offset_;
        WORD first = Word();
        if (first == 0xFFFF) {
            return L"#" + std::to_wstring(Word());
        }
        offset_ = start;
        return Text();
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }

private:
    const std::vector<unsigned char>& bytes_;
    size_t offset_ = 0;
};

TEST_F(ResourceTest, DialogTemplate)
{
    std::vector<unsigned char> bytes = ResourceBytes(RT_DIALOG, MAKEINTRESOURCEW(IDD_WRITER));
    ASSERT_FALSE(bytes.empty());
    TemplateReader reader(bytes);
    EXPECT_EQ(reader.Word(), 1) << "extended template version";
    EXPECT_EQ(reader.Word(), 0xFFFF) << "extended template signature";
    EXPECT_EQ(reader.Dword(), 0u) << "help id";
    EXPECT_EQ(reader.Dword(), static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(reader.Dword(),
              static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    ASSERT_EQ(reader.Word(), 3) << "controls";
    EXPECT_EQ(reader.Short(), 70);
    EXPECT_EQ(reader.Short(), 40);
    EXPECT_EQ(reader.Short(), 187);
    EXPECT_EQ(reader.Short(), 75);
    EXPECT_EQ(reader.NameOrOrdinal(), L"") << "menu";
    EXPECT_EQ(reader.NameOrOrdinal(), L"") << "class";
    EXPECT_EQ(reader.Text(), L"FirmWare書き込み");
    EXPECT_EQ(reader.Word(), 9) << "point size";
    EXPECT_EQ(reader.Word(), 400) << "weight";
    EXPECT_EQ(reader.Byte(), 0) << "italic";
    EXPECT_EQ(reader.Byte(), 128) << "character set";
    EXPECT_EQ(reader.Text(), L"MS UI Gothic");

    struct Control {
        DWORD style;
        short x, y, cx, cy;
        DWORD id;
        const wchar_t* windowClass;
        const wchar_t* text;
    };
    const Control controls[] = {
        {WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH, 7, 31, 173, 14, IDC_PROGRESS, L"msctls_progress32",
         L"Progress1"},
        {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 7, 13, 173, 8, IDC_STATUS, L"#130",
         L"CPUボードにプログラムデータの書き込み中..."},
        {WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 130, 54, 50, 14, IDC_ABORT, L"#128", L"中断"},
    };
    for (const Control& control : controls) {
        SCOPED_TRACE(control.id);
        reader.AlignToDword();
        EXPECT_EQ(reader.Dword(), 0u) << "help id";
        EXPECT_EQ(reader.Dword(), 0u) << "extended style";
        EXPECT_EQ(reader.Dword(), control.style);
        EXPECT_EQ(reader.Short(), control.x);
        EXPECT_EQ(reader.Short(), control.y);
        EXPECT_EQ(reader.Short(), control.cx);
        EXPECT_EQ(reader.Short(), control.cy);
        EXPECT_EQ(reader.Dword(), control.id);
        // Class names are case-blind; the resource compiler stores the
        // progress bar's in capitals.
        std::wstring windowClass = reader.NameOrOrdinal();
        EXPECT_EQ(CompareStringOrdinal(windowClass.c_str(), -1, control.windowClass, -1, TRUE), CSTR_EQUAL)
            << testing::PrintToString(windowClass);
        EXPECT_EQ(reader.NameOrOrdinal(), control.text);
        EXPECT_EQ(reader.Word(), 0) << "creation data";
    }
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ResourceTest, IconGroupHasItsFiveImagesInOrder)
{
    std::vector<unsigned char> group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    ASSERT_GE(group.size(), 6u);
    WORD count = static_cast<WORD>(group[4] | (group[5] << 8));
    ASSERT_EQ(count, 5);
    ASSERT_EQ(group.size(), 6 + count * sizeof(IconGroupEntry));
    struct Expected {
        int size;
        int bits;
    };
    const Expected images[] = {{32, 4}, {48, 8}, {16, 4}, {32, 8}, {32, 1}};
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        IconGroupEntry entry;
        std::memcpy(&entry, &group[6 + i * sizeof entry], sizeof entry);
        EXPECT_EQ(entry.width, images[i].size);
        EXPECT_EQ(entry.height, images[i].size);
        EXPECT_EQ(entry.bitCount, images[i].bits);
        std::vector<unsigned char> image = ResourceBytes(RT_ICON, MAKEINTRESOURCEW(entry.id));
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(header.biWidth, images[i].size);
        EXPECT_EQ(header.biHeight, 2 * images[i].size) << "colour and mask";
        EXPECT_EQ(header.biBitCount, images[i].bits);
        EXPECT_EQ(image.size(), entry.bytes);
    }
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                               IMAGE_ICON, 48, 48, 0));
    EXPECT_NE(icon, nullptr) << "Windows can build an icon from the group";
    if (icon != nullptr) {
        DestroyIcon(icon);
    }
}

TEST_F(ResourceTest, ManifestIsAnEmptyAssembly)
{
    std::vector<unsigned char> bytes = ResourceBytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(bytes.empty());
    std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("<assembly"), std::string::npos);
    EXPECT_NE(manifest.find("</assembly>"), std::string::npos);
    EXPECT_EQ(manifest.find("<dependency"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

TEST_F(ResourceTest, OpenFileRequest)
{
    OPENFILENAMEW request;
    std::memset(&request, 0xCC, sizeof request);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    FillOpenFileName(&request, owner);
    EXPECT_EQ(request.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400W));
    if (sizeof(void*) == 4) {
        EXPECT_EQ(request.lStructSize, 76u);
    }
    EXPECT_EQ(request.hwndOwner, owner);
    const wchar_t filter[] = L"mot\0*.mot\0";
    EXPECT_EQ(std::memcmp(request.lpstrFilter, filter, sizeof filter), 0) << "mot, *.mot and the empty end";
    EXPECT_EQ(request.nFilterIndex, 1u);
    EXPECT_EQ(request.lpstrFile, g_szFirmwarePath);
    EXPECT_EQ(request.nMaxFile, 260u);
    EXPECT_EQ(std::wstring(request.lpstrInitialDir), std::wstring(GetModuleDirectory()));
    EXPECT_EQ(std::wstring(request.lpstrTitle), L"書き換えるファームウェアのファイル読み込み");
    EXPECT_EQ(request.Flags, 0x1004u);
    EXPECT_EQ(std::wstring(request.lpstrDefExt), L"mot");
    EXPECT_EQ(request.lpstrCustomFilter, nullptr);
    EXPECT_EQ(request.lpfnHook, nullptr);
}

}  // namespace
