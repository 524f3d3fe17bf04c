// The line settings of a profile, applied to what GetCommState returned.
#ifndef TARVELIN_SERIAL_DCB_WIN32_H
#define TARVELIN_SERIAL_DCB_WIN32_H

#include "serial/port.h"

#include <windows.h>

void ApplyProfile(DCB* dcb, const LineProfile& profile);
void FillTimeouts(COMMTIMEOUTS* timeouts);

#endif
