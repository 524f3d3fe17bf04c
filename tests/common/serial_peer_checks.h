// Checks of the open port (g_hComPort) against a peer that echoes or stays
// silent, the same on every platform's serial port.
#ifndef TARVELIN_TESTS_SERIAL_PEER_CHECKS_H
#define TARVELIN_TESTS_SERIAL_PEER_CHECKS_H

// Every byte value in one transfer, then single bytes a line discipline
// might act on, each read back alone and waited for.
void ExpectEchoOfEveryByteValue();

// A read that times out stores 0; giving up on a wait stores nothing.
void ExpectSilentPeer();

#endif
