#include "image/compression_dialog.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/args.h"
#include "platform/media/image_writers.h"
#include "resources/resource_ids.h"

namespace korvane {

namespace {

// The codecs offered, as their codes are typed (trailing blanks left off).
constexpr const char* kCodecNames[] = {"jpeg", "png", "raw", "tiff", "rle", "gif", "tga", "BMP"};
constexpr int kDepths[] = {1, 2, 4, 8, 16, 24, 32, 34, 36, 40};
constexpr int kEntryCapacity = 16;

struct DialogState {
    media::CompressionSettings settings;
};

void codecText(uint32_t codec, char* out) {
    const char chars[5] = {static_cast<char>(codec >> 24), static_cast<char>(codec >> 16),
                           static_cast<char>(codec >> 8), static_cast<char>(codec), '\0'};
    std::memcpy(out, chars, sizeof chars);
    for (int i = 3; i >= 0 && out[i] == ' '; --i) {
        out[i] = '\0';
    }
}

void setUp(HWND dialog, const media::CompressionSettings& settings) {
    const HWND codecs = GetDlgItem(dialog, kItemCodec);
    for (const char* name : kCodecNames) {
        SendMessageA(codecs, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    char text[kEntryCapacity];
    codecText(settings.codec, text);
    SetWindowTextA(codecs, text);
    SetDlgItemInt(dialog, kItemQuality, static_cast<UINT>(settings.quality), FALSE);
    const HWND depths = GetDlgItem(dialog, kItemDepth);
    for (int depth : kDepths) {
        std::snprintf(text, sizeof text, "%d", depth);
        SendMessageA(depths, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    std::snprintf(text, sizeof text, "%d", settings.depth);
    SetWindowTextA(depths, text);
}

// Reads the three entries; false (and the first wrong entry focused) when one is not valid.
bool readEntries(HWND dialog, media::CompressionSettings& out) {
    char text[kEntryCapacity + 1] = {};
    media::CompressionSettings read = out;
    GetDlgItemTextA(dialog, kItemCodec, text, sizeof text);
    if (!textToCode(text, &read.codec) || !media::isKnownCodec(read.codec)) {
        SetFocus(GetDlgItem(dialog, kItemCodec));
        return false;
    }
    GetDlgItemTextA(dialog, kItemQuality, text, sizeof text);
    read.quality = isNumberText(text) ? parseInteger(text) : -1;
    if (read.quality < media::kQualityMin || read.quality > media::kQualityMax) {
        SetFocus(GetDlgItem(dialog, kItemQuality));
        return false;
    }
    GetDlgItemTextA(dialog, kItemDepth, text, sizeof text);
    read.depth = isNumberText(text) ? parseInteger(text) : 0;
    if (!media::isCompressionDepth(read.depth)) {
        SetFocus(GetDlgItem(dialog, kItemDepth));
        return false;
    }
    out = read;
    return true;
}

INT_PTR CALLBACK compressionProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        setUp(dialog, reinterpret_cast<DialogState*>(lparam)->settings);
        return TRUE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    auto& state = *reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    const int command = LOWORD(wparam);
    if (command == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (command == IDOK) {
        if (!readEntries(dialog, state.settings)) {
            MessageBeep(MB_ICONEXCLAMATION);  // stays open on the wrong entry
            return TRUE;
        }
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

Status runCompressionDialog(const Call& call, media::CompressionSettings& settings) {
    DialogState state{settings};
    const INT_PTR answer =
        DialogBoxParamA(static_cast<HINSTANCE>(call.moduleInstance), MAKEINTRESOURCEA(kDialogCompression),
                        static_cast<HWND>(call.documentWindow), compressionProc, reinterpret_cast<LPARAM>(&state));
    if (answer == IDOK) {
        settings = state.settings;
        return kNoErr;
    }
    return answer == IDCANCEL ? kUserCanceled : kOutOfMemory;
}

}  // namespace korvane
