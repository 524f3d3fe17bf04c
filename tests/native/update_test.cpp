// The update's two conversations, byte for byte, against the virtual board
// on a real pseudo-terminal; the worker's checks of its files.
#include "app/shell.h"
#include "app/ui_record.h"
#include "res/string_ids.h"
#include "serial/port.h"
#include "tests/common/srecord_records.h"
#include "tests/common/temp_files.h"
#include "tests/native/board_fixture.h"
#include "update/update.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

class UpdateTest : public testing::Test {
protected:
    void SetUp() override
    {
        UiClearEvents();
        g_bAbort = 0;
    }
    void TearDown() override { CloseSerialPort(); }

    static std::vector<UiEvent> Of(UiEvent::Kind kind)
    {
        std::vector<UiEvent> found;
        for (const UiEvent& event : UiEvents()) {
            if (event.kind == kind) {
                found.push_back(event);
            }
        }
        return found;
    }
    static std::vector<std::wstring> Statuses()
    {
        std::vector<std::wstring> texts;
        for (const UiEvent& event : Of(UiEvent::STATUS)) {
            texts.push_back(event.text);
        }
        return texts;
    }
    static std::vector<int> Progress()
    {
        std::vector<int> values;
        for (const UiEvent& event : Of(UiEvent::PROGRESS)) {
            values.push_back(event.position);
        }
        return values;
    }
    static std::vector<std::wstring> Messages()
    {
        std::vector<std::wstring> texts;
        for (const UiEvent& event : Of(UiEvent::MESSAGE)) {
            texts.push_back(event.text);
        }
        return texts;
    }
};

// A loader image of size d: 0xFF below LOADER_BASE, then varied bytes.
Bytes LoaderImage(int size)
{
    Bytes image(static_cast<size_t>(size), 0xFF);
    for (int i = LOADER_BASE; i < size; ++i) {
        image[static_cast<size_t>(i)] = static_cast<unsigned char>(i * 13 + 1);
    }
    return image;
}

int Transfer(BoardOnTerminal& board, const Bytes& loader)
{
    EXPECT_EQ(OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), BootProfile), 1);
    int result = TransferLoader(loader.data(), static_cast<int>(loader.size()));
    board.Stop();
    return result;
}

TEST_F(UpdateTest, BootHandshakeBytesForALoaderEndingAt0xFF80)
{
    BoardOptions options;
    options.answerAfterBursts = 3;
    options.readyZeros = 3;
    BoardOnTerminal board(options);
    Bytes loader = LoaderImage(0xFF80);
    ASSERT_EQ(Transfer(board, loader), 1);
    EXPECT_NE(g_hComPort, nullptr) << "the worker closes the port after success";

    Bytes host(3 * 64, 0x00);
    host.push_back(0x55);
    host.push_back(0x08);
    host.push_back(0x00);
    host.insert(host.end(), loader.begin() + LOADER_BASE, loader.end());
    EXPECT_EQ(board.HostToBoard(), host);
    Bytes reply = {0x00, 0x00, 0x00, 0x00, 0xAA, 0x08, 0x00};
    reply.insert(reply.end(), loader.begin() + LOADER_BASE, loader.end());
    reply.push_back(0xAA);
    EXPECT_EQ(board.BoardToHost(), reply);
    EXPECT_TRUE(board.Result().loaderReceived);
    EXPECT_EQ(board.Result().violations, std::vector<std::string>());

    EXPECT_EQ(Statuses(), (std::vector<std::wstring>{LoadResString(IDS_STATUS_TRANSFER_STARTING),
                                                       LoadResString(IDS_STATUS_LOADER_SENDING)}));
    EXPECT_EQ(Progress(), (std::vector<int>{96, 97, 98, 99}));
    EXPECT_TRUE(Messages().empty());
}

struct BootFailure {
    const char* name;
    BoardOptions options;
    int status;
    std::vector<int> messages;  // before 229
};

class BootFailureTest : public UpdateTest, public testing::WithParamInterface<BootFailure> {};

TEST_P(BootFailureTest, StatusMessageAndClosedPort)
{
    const BootFailure& c = GetParam();
    BoardOnTerminal board(c.options);
    EXPECT_EQ(Transfer(board, LoaderImage(0xF800)), 0);
    EXPECT_EQ(g_hComPort, nullptr);
    ASSERT_FALSE(Statuses().empty());
    EXPECT_EQ(Statuses().back(), LoadResString(c.status));
    std::vector<std::wstring> expected;
    for (int id : c.messages) {
        expected.push_back(LoadResString(id));
    }
    expected.push_back(LoadResString(IDS_LOADER_TRANSFER_FAILED));
    EXPECT_EQ(Messages(), expected);
    for (const UiEvent& event : Of(UiEvent::MESSAGE)) {
        EXPECT_EQ(event.owner, OWNER_DIALOG);
        EXPECT_EQ(event.icon, ICON_ERROR);
    }
}

BoardOptions With(void (*set)(BoardOptions&))
{
    BoardOptions options;
    set(options);
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Board, BootFailureTest,
    testing::Values(
        BootFailure{"wrong_first_answer", With([](BoardOptions& o) { o.firstAnswer = 0x55; }),
                    IDS_STATUS_ABNORMAL_ANSWER, {}},
        // Bounded: past 4096 zeros the ready byte is given up on.
        BootFailure{"endless_zeros", With([](BoardOptions& o) { o.endlessZeros = true; }),
                    IDS_STATUS_ABNORMAL_ANSWER, {}},
        BootFailure{"echo_changed", With([](BoardOptions& o) { o.changeEchoAt = 7; }),
                    IDS_STATUS_TRANSFER_PREP_FAILED, {}},
        // One echo byte short: a failure, not a compare with bytes never sent.
        BootFailure{"echo_byte_missing", With([](BoardOptions& o) { o.dropEchoAt = 0x7F; }),
                    IDS_STATUS_TRANSFER_PREP_FAILED, {}},
        // A failed read ends the handshake at once.
        BootFailure{"hang_up_after_start", With([](BoardOptions& o) { o.hangUpAfterStart = true; }),
                    IDS_STATUS_TRANSFER_FAILED, {IDS_SERIAL_READ_FAILED}}),
    [](const testing::TestParamInfo<BootFailure>& info) { return std::string(info.param.name); });

TEST_F(UpdateTest, LoaderEchoOfZerosIsNotTakenForALoaderOfZeros)
{
    // The echo buffer starts zeroed: a loader of 0x00 with its echo cut short
    // must fail, not compare equal.
    BoardOptions options;
    options.dropEchoAt = 0;
    BoardOnTerminal board(options);
    Bytes loader(0xF800, 0xFF);
    std::fill(loader.begin() + LOADER_BASE, loader.end(), 0x00);
    EXPECT_EQ(Transfer(board, loader), 0);
    EXPECT_EQ(Statuses().back(), LoadResString(IDS_STATUS_TRANSFER_PREP_FAILED));
}

// A padded image: blocks 0 and 7 written, block 1 blank, 0x380 = block 7.
Bytes FirmwareImage()
{
    Bytes image(8 * BLOCK_SIZE + BLOCK_SIZE, 0xFF);
    for (int i = 0; i < BLOCK_SIZE; ++i) {
        image[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
        image[static_cast<size_t>(0x380 + i)] = static_cast<unsigned char>(0x80 + i);
    }
    image[0x200] = 0x12;  // block 4: one byte not blank
    return image;
}

BoardOptions WriteControl()
{
    BoardOptions options;
    options.skipBootMode = true;
    return options;
}

// How ProgramBlocks ended; UPDATE_PORT_FAILED when the port did not open.
UpdateOutcome Program(BoardOnTerminal& board, const Bytes& image)
{
    UpdateOutcome outcome = UPDATE_PORT_FAILED;
    if (OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), ProgramProfile) == 1) {
        unsigned char* copy = static_cast<unsigned char*>(std::malloc(image.size()));
        std::memcpy(copy, image.data(), image.size());
        outcome = ProgramBlocks(copy, static_cast<int>(image.size()));
    }
    board.Stop();
    return outcome;
}

// The addresses reported as committed, in order.
std::vector<int> Programmed()
{
    std::vector<int> addresses;
    for (const UiEvent& event : UiEvents()) {
        if (event.kind == UiEvent::BLOCK_PROGRAMMED) {
            addresses.push_back(event.position);
        }
    }
    return addresses;
}

// The blocks of FirmwareImage that are sent, in order.
const std::vector<int> FIRMWARE_BLOCKS = {0, 0x200, 0x380};

Bytes BlockOnWire(const Bytes& image, int address)
{
    Bytes wire = {0x55, static_cast<unsigned char>(address & 0xFF), static_cast<unsigned char>(address >> 8),
                  static_cast<unsigned char>(address >> 16)};
    wire.insert(wire.end(), image.begin() + address, image.begin() + address + BLOCK_SIZE);
    wire.push_back(0x56);
    wire.push_back(0x57);
    return wire;
}

TEST_F(UpdateTest, ProgramsNonBlankBlocksInOrder)
{
    BoardOnTerminal board(WriteControl());
    Bytes image = FirmwareImage();
    EXPECT_EQ(Program(board, image), UPDATE_DONE);
    EXPECT_EQ(g_hComPort, nullptr);
    EXPECT_EQ(Programmed(), FIRMWARE_BLOCKS);

    Bytes wire;
    for (int address : FIRMWARE_BLOCKS) {
        Bytes block = BlockOnWire(image, address);
        wire.insert(wire.end(), block.begin(), block.end());
    }
    EXPECT_EQ(board.HostToBoard(), wire) << "address bytes least significant first; blank blocks never sent";
    EXPECT_EQ(board.Result().blocks, FIRMWARE_BLOCKS);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), board.Result().flash.begin()));
    EXPECT_EQ(board.Result().violations, std::vector<std::string>());

    // 12800 per block of a 1152-byte image: 11, 22, ... 100.
    std::vector<int> expected;
    for (int block = 1; block <= 9; ++block) {
        expected.push_back(block * 12800 / 1152);
    }
    EXPECT_EQ(Progress(), expected);
    std::vector<UiEvent> messages = Of(UiEvent::MESSAGE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, LoadResString(IDS_UPDATE_COMPLETE));
    EXPECT_EQ(messages[0].owner, OWNER_NONE);
    EXPECT_EQ(messages[0].icon, ICON_NONE);
    EXPECT_EQ(UiEvents().back().kind, UiEvent::END_DIALOG);
    EXPECT_EQ(g_bProgramming, 0);
}

TEST_F(UpdateTest, AllBlankImageSendsNothingAndCompletes)
{
    BoardOnTerminal board(WriteControl());
    EXPECT_EQ(Program(board, Bytes(BLOCK_SIZE, 0xFF)), UPDATE_DONE);
    EXPECT_TRUE(board.HostToBoard().empty());
    EXPECT_EQ(Progress(), std::vector<int>{100});
    EXPECT_EQ(Messages(), std::vector<std::wstring>{LoadResString(IDS_UPDATE_COMPLETE)});
}

TEST_F(UpdateTest, AbortBetweenBlocks)
{
    BoardOnTerminal board(WriteControl());
    g_bAbort = 1;
    EXPECT_EQ(Program(board, FirmwareImage()), UPDATE_ABORTED);
    EXPECT_TRUE(board.HostToBoard().empty());
    EXPECT_EQ(g_bProgramming, 0);
    EXPECT_EQ(g_hComPort, nullptr);
    std::vector<UiEvent> messages = Of(UiEvent::MESSAGE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, LoadResString(IDS_WRITE_ABORTED));
    EXPECT_EQ(messages[0].owner, OWNER_NONE);
    EXPECT_EQ(messages[0].icon, ICON_WARNING);
    EXPECT_TRUE(Of(UiEvent::END_DIALOG).empty()) << "the user's cancel ends the dialog";
}

struct BlockFailure {
    const char* name;
    int faultBlock, faultStep, faultStatus, changeReadBackAt;
    const wchar_t* secondLine;
    std::vector<int> committed;
};

class BlockFailureTest : public UpdateTest, public testing::WithParamInterface<BlockFailure> {};

TEST_P(BlockFailureTest, ReportsKindAddressAndStep)
{
    const BlockFailure& c = GetParam();
    BoardOptions options = WriteControl();
    options.faultBlock = c.faultBlock;
    options.faultStep = c.faultStep;
    options.faultStatus = c.faultStatus;
    options.changeReadBackAt = c.changeReadBackAt;
    BoardOnTerminal board(options);
    EXPECT_EQ(Program(board, FirmwareImage()), UPDATE_PROGRAM_FAILED);
    EXPECT_EQ(g_hComPort, nullptr);
    EXPECT_EQ(g_bProgramming, 0);
    // Reported as programmed: the blocks that passed every step before the fault.
    EXPECT_EQ(Programmed(), std::vector<int>(FIRMWARE_BLOCKS.begin(), FIRMWARE_BLOCKS.begin() + c.faultBlock));
    std::vector<UiEvent> messages = Of(UiEvent::MESSAGE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, std::wstring(L"ファームウェアの書き換えに失敗しました。\r\n") + c.secondLine);
    EXPECT_EQ(messages[0].owner, OWNER_DIALOG);
    EXPECT_EQ(messages[0].icon, ICON_ERROR);
    EXPECT_EQ(UiEvents().back().kind, UiEvent::END_DIALOG);
    EXPECT_EQ(board.Result().blocks, c.committed);
}

INSTANTIATE_TEST_SUITE_P(
    Board, BlockFailureTest,
    testing::Values(
        BlockFailure{"status_ff_at_step_4", 1, 4, 0xFF, -1, L"受信エラー Addr:0x000200 step:5 ", {0}},
        BlockFailure{"other_status_at_step_4", 0, 4, 0x00, -1, L"受信エラー Addr:0x000000 step:6 ", {}},
        BlockFailure{"status_ff_at_step_12", 2, 12, 0xFF, -1, L"送信エラー Addr:0x000380 step:13 ",
                     {0, 0x200, 0x380}},
        BlockFailure{"other_status_at_step_12", 0, 12, 0x55, -1, L"送信エラー Addr:0x000000 step:14 ", {0}},
        BlockFailure{"read_back_differs", 2, 10, -1, 5, L"ベリファイエラー Addr:0x000385 step:10 (85:df)", {0, 0x200}},
        // A silent board is a receive fault, never a committed block.
        BlockFailure{"silent_at_step_4", 0, 4, -1, -1, L"受信エラー Addr:0x000000 step:4 ", {}},
        BlockFailure{"read_back_header_missing", 1, 8, -1, -1, L"受信エラー Addr:0x000200 step:8 ", {0}},
        BlockFailure{"read_back_bytes_missing", 0, 9, -1, -1, L"受信エラー Addr:0x000000 step:9 ", {}},
        BlockFailure{"silent_at_step_12", 0, 12, -1, -1, L"受信エラー Addr:0x000000 step:12 ", {0}}),
    [](const testing::TestParamInfo<BlockFailure>& info) { return std::string(info.param.name); });

TEST_F(UpdateTest, BlockErrorTexts)
{
    wchar_t text[MESSAGE_CHARS];
    FormatBlockError(text, IDS_KIND_SEND, 0x200, 0, 0, 3);
    EXPECT_EQ(std::wstring(text), L"ファームウェアの書き換えに失敗しました。\r\n送信エラー Addr:0x000200 step:3 ");
    FormatBlockError(text, IDS_KIND_RECEIVE, 0x80, 0, 0, 5);
    EXPECT_EQ(std::wstring(text), L"ファームウェアの書き換えに失敗しました。\r\n受信エラー Addr:0x000080 step:5 ");
    FormatBlockError(text, IDS_KIND_VERIFY, 0x1234, 0x5A, 0x00, 10);
    EXPECT_EQ(std::wstring(text), L"ファームウェアの書き換えに失敗しました。\r\nベリファイエラー Addr:0x001234 step:10 (5a:00)");
}

TEST_F(UpdateTest, PaddingToWholeBlocks)
{
    TempFiles files;
    const struct {
        int bytes;
        int padded;
    } cases[] = {{1, 128}, {127, 128}, {128, 256}, {256, 384}, {300, 384}, {0, 128}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::string text;
        for (int at = 0; at < c.bytes; at += 16) {
            std::vector<unsigned char> data(static_cast<size_t>(std::min(16, c.bytes - at)), 0x42);
            text += DataRecord(1, static_cast<unsigned long>(at), data) + "\n";
        }
        int size = -1;
        int padded = -1;
        unsigned char* image = LoadPaddedFirmware(files.Write("fw.mot", text).c_str(), &size, &padded);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(size, c.bytes);
        EXPECT_EQ(padded, c.padded);
        for (int i = 0; i < padded; ++i) {
            ASSERT_EQ(image[i], i < c.bytes ? 0x42 : 0xFF) << i;
        }
        std::free(image);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(UpdateTest, UnloadableFirmwareShowsMessage51WithTheReason)
{
    TempFiles files;
    int size = -1;
    int padded = -1;
    EXPECT_EQ(LoadPaddedFirmware(files.Write("bad.mot", "S0030000FC\nS1050000AABB00\n").c_str(), &size, &padded),
              nullptr);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"指定のファイルを展開できませんでした\r\n2 行目: チェックサムが一致しません"});
    EXPECT_TRUE(Of(UiEvent::END_DIALOG).empty()) << "the dialog stays open";
}

// The worker refuses a "write.mot" that gives the boot mode nothing it can
// take, before any serial traffic.
class LoaderCheckTest : public UpdateTest {
protected:
    void WriteLoader(const std::string& text)
    {
        path_ = std::string(GetModuleDirectoryNarrow()) + "write.mot";
        std::ofstream(path_, std::ios::binary) << text;
    }
    void TearDown() override
    {
        std::remove(path_.c_str());
        UpdateTest::TearDown();
    }
    static std::string GetModuleDirectoryNarrow()
    {
        std::wstring wide = GetModuleDirectory();
        return std::string(wide.begin(), wide.end());
    }
    std::string path_;
};

TEST_F(LoaderCheckTest, RefusedLoaders)
{
    const struct {
        std::string text;
        std::wstring reason;
    } cases[] = {
        {DataRecord(1, 0x100, {1, 2}) + "\n", L"書き換えプログラムのデータが0xF780以降にありません"},
        {DataRecord(1, LOADER_BASE - 1, {1}) + "\n", L"書き換えプログラムのデータが0xF780以降にありません"},
        {DataRecord(3, LOADER_BASE + LOADER_MAX_BYTES, {1}) + "\n", L"書き換えプログラムが65535バイトを超えています"},
        {"S1050000AABB00\n", L"1 行目: チェックサムが一致しません"},
    };
    g_nComPort = 0;  // any serial traffic would show message 40
    for (const auto& c : cases) {
        UiClearEvents();
        WriteLoader(c.text);
        UpdateWorker();
        EXPECT_EQ(Messages(), std::vector<std::wstring>{std::wstring(L"書き換え用バイナリの読み込みに失敗しました\r\n") + c.reason});
        EXPECT_EQ(UiEvents().back().kind, UiEvent::END_DIALOG);
    }
}

}  // namespace
