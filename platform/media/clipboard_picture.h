#pragma once
// Pictures and the Windows clipboard. Pictures are read from the registered "Mac-PICT"
// format (found by its name: its number changes from one session to the next) or converted
// from a device-independent bitmap, and written as a device-independent bitmap (CF_DIB).
// The host's document window owns the clipboard while we hold it.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/owned_bytes.h"
#include "platform/win32/raii.h"

namespace korvane::media {

inline constexpr char kPictClipboardFormatName[] = "Mac-PICT";
using korvane::kClipboardWriteFailed;

// The picture on the clipboard, without file header. -103 the clipboard cannot be opened;
// -108 the "Mac-PICT" data cannot be read or copied; -102 a bitmap without data; -104
// neither format, or a bitmap this reader does not decode.
// `ownerWindow` (an HWND, may be null) is the window that opens the clipboard.
Status readClipboardPicture(void* ownerWindow, OwnedBytes& picture);

// Replaces the clipboard's contents with the picture as CF_DIB; the picture stays with the
// caller. -108 for no picture or one that cannot be converted; -1 when the clipboard cannot
// be opened, emptied or given the bitmap.
Status putPictureOnClipboard(void* ownerWindow, const uint8_t* picture, size_t size);

// The conversions behind them: a packed device-independent bitmap (as CF_DIB holds it) to a
// picture, and a picture (with or without file header) to CF_DIB memory.
Status pictureFromDib(const uint8_t* dib, size_t size, OwnedBytes& picture);
Status dibFromPicture(const uint8_t* picture, size_t size, win32::unique_hglobal& dib);

}  // namespace korvane::media
