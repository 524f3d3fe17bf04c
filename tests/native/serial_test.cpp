// The POSIX serial port against the virtual board on a pseudo-terminal.
#include "app/ui_record.h"
#include "res/string_ids.h"
#include "app/shell.h"
#include "serial/port.h"
#include "tests/common/serial_peer_checks.h"
#include "tests/native/board_fixture.h"

#include <gtest/gtest.h>

#include <termios.h>

#include <string>
#include <vector>

namespace {

class SerialTest : public testing::Test {
protected:
    void SetUp() override { UiClearEvents(); }
    void TearDown() override { CloseSerialPort(); }

    std::vector<std::wstring> Messages()
    {
        std::vector<std::wstring> texts;
        for (const UiEvent& event : UiEvents()) {
            if (event.kind == UiEvent::MESSAGE) {
                texts.push_back(event.text);
            }
        }
        return texts;
    }
};

BoardOptions Mode(BoardMode mode)
{
    BoardOptions options;
    options.mode = mode;
    return options;
}

TEST_F(SerialTest, EveryByteValueBothWaysInBothProfiles)
{
    BoardOnTerminal board(Mode(BOARD_ECHO));
    for (const LineProfile* profile : {&BootProfile, &ProgramProfile}) {
        ASSERT_EQ(OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), *profile), 1);
        ExpectEchoOfEveryByteValue();
        CloseSerialPort();
    }
    board.Stop();
    const std::string& transcript = board.Transcript();
    EXPECT_NE(transcript.find("speed 9600"), std::string::npos);
    EXPECT_NE(transcript.find("speed 115200"), std::string::npos);
    EXPECT_LT(transcript.find("speed 9600"), transcript.find("speed 115200"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SerialTest, SilentPeer)
{
    BoardOnTerminal board(Mode(BOARD_SILENT));
    ASSERT_EQ(OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), BootProfile), 1);
    ExpectSilentPeer();
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SerialTest, HungUpLineFailsReadsWithTheReadMessage)
{
    BoardOptions options;
    options.hangUpAfterStart = true;
    options.answerAfterBursts = 0;
    BoardOnTerminal board(options);
    ASSERT_EQ(OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), BootProfile), 1);
    unsigned char byte = 0x77;
    EXPECT_EQ(SerialWaitByte(OWNER_DIALOG, g_hComPort, &byte), 0x00) << "the awake answer";
    EXPECT_EQ(SerialWriteByte(OWNER_DIALOG, 0x55, g_hComPort), 1);
    byte = 0x77;
    EXPECT_EQ(SerialReadByte(g_hComPort, OWNER_DIALOG, &byte), -1);
    EXPECT_EQ(byte, 0x77);
    EXPECT_EQ(SerialWaitByte(OWNER_DIALOG, g_hComPort, &byte), 0xFF);
    EXPECT_EQ(Messages(), std::vector<std::wstring>(2, LoadResString(IDS_SERIAL_READ_FAILED)));
}

TEST_F(SerialTest, PortsThatCannotBeOpened)
{
    BoardOnTerminal board(Mode(BOARD_SILENT));
    ASSERT_EQ(OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), BootProfile), 1);
    SerialHandle first = g_hComPort;
    // Held by another program: refused as Windows refuses it.
    EXPECT_EQ(OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), BootProfile), 0);
    EXPECT_EQ(g_hComPort, nullptr);
    g_hComPort = first;
    CloseSerialPort();
    EXPECT_EQ(OpenSerialPort(OWNER_DIALOG, 0, BootProfile), 0);
    EXPECT_EQ(OpenSerialDevice(OWNER_DIALOG, L"/dev/no-such-port", ProgramProfile), 0);
    EXPECT_EQ(g_hComPort, nullptr);
    std::vector<UiEvent> events = UiEvents();
    ASSERT_EQ(events.size(), 3u);
    for (const UiEvent& event : events) {
        EXPECT_EQ(event.text, LoadResString(IDS_PORT_UNAVAILABLE));
        EXPECT_EQ(event.owner, OWNER_DIALOG);
        EXPECT_EQ(event.icon, ICON_ERROR);
    }
    // Closed again, the device opens as before.
    EXPECT_EQ(OpenSerialDevice(OWNER_DIALOG, board.Path().c_str(), ProgramProfile), 1);
}

}  // namespace
