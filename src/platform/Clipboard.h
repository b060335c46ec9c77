// The clipboard, and the clipboard history of Windows 10 (1809) and later.
#pragma once

// Opens the clipboard (no owner window), empties it and closes it again. False when the clipboard
// could not be opened (another program holds it open) or not emptied; it is then unchanged.
bool EmptyClipboardContents();

// What Windows answered about its clipboard history (Win+V).
enum class ClipboardHistoryAnswer {
    Cleared,      // Ask: the history can be cleared here; Clear: its items are gone (pinned ones stay)
    NotAvailable, // this Windows has none to clear (before Windows 10 1809; Wine)
    Failed,       // the history is there but Windows answered that it did not clear it
};
enum class ClipboardHistoryCall { Ask, Clear };

// Clears the clipboard history (Clear) or only asks whether it could be cleared (Ask), through
// Windows.ApplicationModel.DataTransfer.Clipboard.ClearHistory. Windows defines that it keeps the
// items the user pinned. Everything it needs is looked up at run time (combase.dll), so the program
// loads where none of it exists.
ClipboardHistoryAnswer ClipboardHistory(ClipboardHistoryCall call);

// Sends every later ClipboardHistory to this function instead of Windows; nullptr sends them to
// Windows again. Only the tests divert it.
using ClipboardHistoryDiversion = ClipboardHistoryAnswer (*)(ClipboardHistoryCall call);
void DivertClipboardHistory(ClipboardHistoryDiversion diversion);
