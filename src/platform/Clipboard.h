// The clipboard.
#pragma once

// Opens the clipboard (no owner window), empties it and closes it again. False when the clipboard
// could not be opened (another program holds it open) or not emptied; it is then unchanged.
bool EmptyClipboardContents();
