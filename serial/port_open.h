// Shared by the platform ports: the end of every open.
#ifndef TARVELIN_SERIAL_PORT_OPEN_H
#define TARVELIN_SERIAL_PORT_OPEN_H

#include "serial/port.h"

// Makes port (null when opening failed) the open port; on failure shows
// message 40, owned by owner. Returns OpenSerialPort's result.
int FinishOpening(MessageOwner owner, SerialHandle port);

#endif
