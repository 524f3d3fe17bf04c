// Where string resources come from: the executable's string table on
// Windows, the table compiled in from res/strings.def elsewhere (and in the
// console program, which offers its texts in two languages).
#ifndef TARVELIN_APP_RESOURCE_TEXT_H
#define TARVELIN_APP_RESOURCE_TEXT_H

// Copies entry id into buffer, at most bufferChars - 1 characters and a
// terminator; a missing entry leaves the buffer untouched. Returns the length.
int LoadResourceText(int id, wchar_t* buffer, int bufferChars);

#endif
