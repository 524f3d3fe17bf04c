// The Win32 serial port: the line settings it makes, and the port against the
// virtual board (TARVELIN_TEST_COM names the COM port it plays).
#include "app/shell.h"
#include "app/ui_record.h"
#include "res/string_ids.h"
#include "serial/dcb_win32.h"
#include "serial/port.h"
#include "tests/common/serial_peer_checks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

TEST(SerialDcb, EachProfileFieldByField)
{
    for (const LineProfile* profile : {&BootProfile, &ProgramProfile}) {
        SCOPED_TRACE(profile->baudRate);
        // As GetCommState might return it: every bit set.
        DCB dcb;
        std::memset(&dcb, 0xFF, sizeof dcb);
        dcb.DCBlength = sizeof dcb;
        DCB before = dcb;
        ApplyProfile(&dcb, *profile);
        EXPECT_EQ(dcb.BaudRate, static_cast<DWORD>(profile->baudRate));
        EXPECT_EQ(dcb.ByteSize, 8);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
        EXPECT_EQ(dcb.Parity, profile == &ProgramProfile ? EVENPARITY : NOPARITY);
        EXPECT_EQ(static_cast<unsigned char>(dcb.EofChar), 0x1A);
        EXPECT_EQ(dcb.fParity, 1u);
        EXPECT_EQ(dcb.fBinary, 1u) << "Windows transfers binary only";
        EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
        EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
        EXPECT_EQ(dcb.fDsrSensitivity, 0u);
        EXPECT_EQ(dcb.fTXContinueOnXoff, 0u);
        EXPECT_EQ(dcb.fOutX, 0u);
        EXPECT_EQ(dcb.fInX, 0u);
        EXPECT_EQ(dcb.fErrorChar, 0u);
        EXPECT_EQ(dcb.fNull, 0u);
        EXPECT_EQ(dcb.fAbortOnError, 0u);
        EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
        EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
        // Whatever is not named keeps what the driver gave.
        EXPECT_EQ(dcb.fDummy2, before.fDummy2);
        EXPECT_EQ(dcb.XonLim, before.XonLim);
        EXPECT_EQ(dcb.XoffLim, before.XoffLim);
        EXPECT_EQ(dcb.XonChar, before.XonChar);
        EXPECT_EQ(dcb.XoffChar, before.XoffChar);
        EXPECT_EQ(dcb.ErrorChar, before.ErrorChar);
        EXPECT_EQ(dcb.EvtChar, before.EvtChar);
        EXPECT_EQ(dcb.wReserved, before.wReserved);
        EXPECT_EQ(dcb.wReserved1, before.wReserved1);
    }
    COMMTIMEOUTS timeouts;
    std::memset(&timeouts, 0xFF, sizeof timeouts);
    FillTimeouts(&timeouts);
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 200u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 1u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 200u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);
}

TEST(SerialOpen, MissingPortsShowMessage40)
{
    UiClearEvents();
    for (int number : {0, 250}) {
        g_hComPort = reinterpret_cast<SerialHandle>(1);
        EXPECT_EQ(OpenSerialPort(OWNER_DIALOG, number, BootProfile), 0) << number;
        EXPECT_EQ(g_hComPort, nullptr);
    }
    std::vector<UiEvent> events = UiEvents();
    ASSERT_EQ(events.size(), 2u);
    for (const UiEvent& event : events) {
        EXPECT_EQ(event.kind, UiEvent::MESSAGE);
        EXPECT_EQ(event.text, LoadResString(IDS_PORT_UNAVAILABLE));
        EXPECT_EQ(event.icon, ICON_ERROR);
    }
}

class SerialBoard : public testing::Test {
protected:
    void SetUp() override
    {
        const char* port = std::getenv("TARVELIN_TEST_COM");
        if (port == nullptr) {
            GTEST_SKIP() << "needs the virtual board (TARVELIN_TEST_COM)";
        }
        number_ = std::atoi(port);
        UiClearEvents();
    }
    void TearDown() override { CloseSerialPort(); }
    int number_ = 0;
};

TEST_F(SerialBoard, EveryByteBothWaysInBothProfiles_echo)
{
    for (const LineProfile* profile : {&BootProfile, &ProgramProfile}) {
        ASSERT_EQ(OpenSerialPort(OWNER_DIALOG, number_, *profile), 1);
        ExpectEchoOfEveryByteValue();
        CloseSerialPort();
    }
    EXPECT_TRUE(UiEvents().empty());
}

TEST_F(SerialBoard, SilentPeer_silent)
{
    ASSERT_EQ(OpenSerialPort(OWNER_DIALOG, number_, BootProfile), 1);
    ExpectSilentPeer();
    EXPECT_TRUE(UiEvents().empty());
}

}  // namespace
