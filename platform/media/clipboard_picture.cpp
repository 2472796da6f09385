#include "platform/media/clipboard_picture.h"

#include <cstring>

#include "platform/media/bitmap.h"
#include "platform/media/dib.h"
#include "platform/media/importer.h"
#include "platform/media/pict.h"

namespace korvane::media {

namespace {

// Longer than any name we look for, so a longer name never compares equal after truncation.
constexpr int kFormatNameCapacity = 64;
// Registered formats are numbered from here on.
constexpr UINT kFirstRegisteredFormat = 0xC000;

bool isPictFormat(UINT format) {
    if (format < kFirstRegisteredFormat) {
        return false;
    }
    char name[kFormatNameCapacity] = {};
    const int length = GetClipboardFormatNameA(format, name, kFormatNameCapacity);
    return length > 0 && std::strcmp(name, kPictClipboardFormatName) == 0;
}

struct AvailableFormats {
    UINT pict = 0;
    bool dib = false;
};

AvailableFormats availableFormats() {
    AvailableFormats found;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        if (format == CF_DIB) {
            found.dib = true;
        } else if (found.pict == 0 && isPictFormat(format)) {
            found.pict = format;
        }
    }
    return found;
}

Status copyClipboardPict(UINT format, OwnedBytes& picture) {
    const auto lock = win32::lock_global(static_cast<HGLOBAL>(GetClipboardData(format)));
    if (!lock->data) {
        return kOutOfMemory;
    }
    return copyBytes(lock->data, lock->size(), picture);
}

Status convertClipboardDib(OwnedBytes& picture) {
    const auto lock = win32::lock_global(static_cast<HGLOBAL>(GetClipboardData(CF_DIB)));
    if (!lock->data || lock->size() == 0) {
        return kNoPicture;
    }
    return pictureFromDib(static_cast<const uint8_t*>(lock->data), lock->size(), picture);
}

}  // namespace

Status pictureFromDib(const uint8_t* dib, size_t size, OwnedBytes& picture) {
    Bitmap bitmap;
    if (Status status = readDib(dib, size, kDefaultMaxBitmapBytes, bitmap); status != kNoErr) {
        return status;
    }
    ByteWriter writer;
    if (Status status = writePict(bitmap, writer); status != kNoErr) {
        return status;
    }
    return takeWritten(writer, picture);
}

Status dibFromPicture(const uint8_t* picture, size_t size, win32::unique_hglobal& dib) {
    PictReadOptions options;
    options.decodeImageData = decodeImageDataWithSystem;
    Bitmap bitmap;
    if (Status status = readPict(picture, size, options, bitmap); status != kNoErr) {
        return status;
    }
    ByteWriter writer;
    if (Status status = writeDib(bitmap, writer); status != kNoErr) {
        return status;
    }
    if (!writer.ok()) {
        return kOutOfMemory;
    }
    win32::unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, writer.size()));
    const auto lock = win32::lock_global(memory.get());
    if (!lock->data) {
        return kOutOfMemory;
    }
    std::memcpy(lock->data, writer.data(), writer.size());
    dib = std::move(memory);
    return kNoErr;
}

Status readClipboardPicture(void* ownerWindow, OwnedBytes& picture) {
    picture.reset();
    const auto clipboard = win32::open_clipboard(static_cast<HWND>(ownerWindow));
    if (!clipboard) {
        return kEmptyPicture;
    }
    const AvailableFormats formats = availableFormats();
    if (formats.pict != 0) {
        return copyClipboardPict(formats.pict, picture);
    }
    if (formats.dib) {
        return convertClipboardDib(picture);
    }
    return kBadPictureData;
}

Status putPictureOnClipboard(void* ownerWindow, const uint8_t* picture, size_t size) {
    if (!picture || size == 0) {
        return kOutOfMemory;
    }
    win32::unique_hglobal dib;
    if (dibFromPicture(picture, size, dib) != kNoErr) {
        return kOutOfMemory;
    }
    const auto clipboard = win32::open_clipboard(static_cast<HWND>(ownerWindow));
    if (!clipboard || !EmptyClipboard()) {
        return kClipboardWriteFailed;
    }
    if (!SetClipboardData(CF_DIB, dib.get())) {
        return kClipboardWriteFailed;
    }
    (void)dib.release();  // the clipboard owns it now
    return kNoErr;
}

}  // namespace korvane::media
