// Symbols for the string-table ids, from the same source as the texts.
#ifndef TARVELIN_RES_STRING_IDS_H
#define TARVELIN_RES_STRING_IDS_H

enum StringId {
#define TARVELIN_STRING(symbol, id, text, english) symbol = id,
#define TARVELIN_CONSOLE_STRING(symbol, id, text, english) symbol = id,
#include "res/strings.def"
#undef TARVELIN_CONSOLE_STRING
#undef TARVELIN_STRING
};

#endif
