// The firmware update: the worker thread's body and its two conversations
// with the board.
#ifndef TARVELIN_UPDATE_UPDATE_H
#define TARVELIN_UPDATE_UPDATE_H

// Runs the whole update for g_szFirmwarePath on port g_nComPort.
void UpdateWorker();

#endif
