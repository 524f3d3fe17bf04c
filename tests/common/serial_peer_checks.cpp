#include "tests/common/serial_peer_checks.h"

#include "app/shell.h"
#include "serial/port.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int BYTE_VALUES = 256;
// Bytes a terminal would take as line ends, flow control or end of file.
const int SPECIAL_BYTES[] = {0x00, 0x0D, 0x0A, 0x11, 0x13, 0x1A, 0xFF};

}  // namespace

void ExpectEchoOfEveryByteValue()
{
    std::vector<unsigned char> all(BYTE_VALUES);
    for (int value = 0; value < BYTE_VALUES; ++value) {
        all[static_cast<size_t>(value)] = static_cast<unsigned char>(value);
    }
    ASSERT_EQ(SerialWrite(g_hComPort, all.data(), BYTE_VALUES), 1);
    std::vector<unsigned char> back(BYTE_VALUES);
    int received = 0;
    ASSERT_EQ(SerialRead(g_hComPort, back.data(), BYTE_VALUES, &received), 1);
    EXPECT_EQ(received, BYTE_VALUES);
    EXPECT_EQ(back, all);
    for (int value : SPECIAL_BYTES) {
        SCOPED_TRACE(value);
        EXPECT_EQ(SerialWriteByte(OWNER_DIALOG, value, g_hComPort), 1);
        unsigned char byte = 0x42;
        EXPECT_EQ(SerialReadByte(g_hComPort, OWNER_DIALOG, &byte), 1);
        EXPECT_EQ(byte, value);
        EXPECT_EQ(SerialWriteByte(OWNER_DIALOG, value, g_hComPort), 1);
        byte = 0x42;
        EXPECT_EQ(SerialWaitByte(OWNER_DIALOG, g_hComPort, &byte), value);
        EXPECT_EQ(byte, value);
    }
}

void ExpectSilentPeer()
{
    unsigned char byte = 0x77;
    EXPECT_EQ(SerialReadByte(g_hComPort, OWNER_DIALOG, &byte), 0);
    EXPECT_EQ(byte, 0) << "a read that timed out stores 0";
    byte = 0x77;
    EXPECT_EQ(SerialWaitByte(OWNER_DIALOG, g_hComPort, &byte), 0xFF);
    EXPECT_EQ(byte, 0x77) << "giving up stores nothing";
}
