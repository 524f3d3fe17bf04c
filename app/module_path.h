// The full path of the program's own file, from the operating system.
#ifndef TARVELIN_APP_MODULE_PATH_H
#define TARVELIN_APP_MODULE_PATH_H

// Stores the path, terminated, in buffer; empty when it cannot be had.
void FetchModulePath(wchar_t* buffer, int bufferChars);

// Makes directory the current one; 1 on success.
int SetWorkingDirectory(const wchar_t* directory);

#endif
