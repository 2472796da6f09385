#pragma once
// The host's front document window: parent of the plug-in's dialogs, owner of the
// clipboard it writes and the target of drawing.

#include <windows.h>

namespace korvane {

// Active window -> its owner (the host's frame) -> the frame's "MDIClient" child ->
// that client's topmost child. Null when any step finds nothing.
HWND hostDocumentWindow();

}  // namespace korvane
