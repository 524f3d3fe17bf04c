// What the update tells the user: the status line, the progress bar,
// message boxes and the end of the dialog. The worker calls these from its
// own thread; each platform's implementation carries them to the user.
#ifndef TARVELIN_APP_UI_H
#define TARVELIN_APP_UI_H

enum MessageOwner { OWNER_NONE, OWNER_DIALOG };
enum MessageIcon { ICON_NONE, ICON_ERROR, ICON_WARNING };

// Modal: returns when the user has confirmed the box. The caption is always
// resource string 2.
void UiShowMessage(MessageOwner owner, const wchar_t* text, MessageIcon icon);
void UiSetStatus(const wchar_t* text);
void UiSetProgress(int position);
void UiEndDialog();
// A block at address has been committed. The dialog's bar follows
// UiSetProgress; a console counts the blocks with this.
void UiBlockProgrammed(int address);

#endif
