// The user-interface seam where no window shows the reports (native builds,
// tests): every report is kept as an event, for tests and for a console
// front end to show.
#ifndef TARVELIN_APP_UI_RECORD_H
#define TARVELIN_APP_UI_RECORD_H

#include "app/ui.h"

#include <string>
#include <vector>

struct UiEvent {
    enum Kind { MESSAGE, STATUS, PROGRESS, END_DIALOG, BLOCK_PROGRAMMED };
    Kind kind;
    MessageOwner owner;
    MessageIcon icon;
    std::wstring text;
    int position;  // of PROGRESS; the address of BLOCK_PROGRAMMED
};

// A copy of the events so far, oldest first.
std::vector<UiEvent> UiEvents();
void UiClearEvents();
// Called with each event as it happens, on the reporting thread; null for none.
void UiSetListener(void (*listener)(const UiEvent& event));

#endif
