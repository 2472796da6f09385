#include "interact/message_boxes.h"

#include <cstring>

#include "core/args.h"
#include "interact/answer_layout.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_error.h"
#include "resources/resource_ids.h"

namespace korvane {
namespace {

constexpr int kAnswerButtons[kAnswerButtonCount] = {IDOK, IDCANCEL, kItemOther};
// The description is set in the box's font made this much smaller (the font's height
// is a negative character height, so adding shrinks it).
constexpr LONG kDescriptionShrink = 2;
constexpr INT_PTR kDialogFailed = -1;

// ---- Answer ----

struct AnswerDialog {
    const AnswerRequest& request;
    win32::unique_hfont descriptionFont;
};

PixelRect itemRect(HWND dialog, int item) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, item), &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void placeItem(HWND dialog, int item, const PixelRect& rect) {
    SetWindowPos(GetDlgItem(dialog, item), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The size of `text` set as one line in `font`, measured in a memory context made from
// the box's own; {0,0} when any step fails.
TextExtent measureLine(HDC compatible, HFONT font, const char* text) {
    if (*text == '\0') {
        return {};
    }
    win32::unique_hdc memory(CreateCompatibleDC(compatible));
    if (!memory) {
        return {};
    }
    const auto selected = win32::select_object(memory.get(), font);
    SIZE size{};
    if (!GetTextExtentPoint32A(memory.get(), text, lstrlenA(text), &size)) {
        return {};
    }
    return {size.cx, size.cy};
}

LPCSTR systemIcon(AnswerIcon icon) {
    switch (icon) {
        case AnswerIcon::kStop:
            return IDI_HAND;
        case AnswerIcon::kNote:
            return IDI_ASTERISK;
        case AnswerIcon::kCaution:
            return IDI_EXCLAMATION;
        case AnswerIcon::kQuestion:
            return IDI_QUESTION;
        case AnswerIcon::kNone:
            break;
    }
    return nullptr;
}

void setLabel(HWND dialog, int item, const char* label) {
    if (*label != '\0') {
        SetDlgItemTextA(dialog, item, label);
    }
}

void showButton(HWND dialog, int item, bool shown, const char* label) {
    if (shown) {
        setLabel(dialog, item, label);
    } else {
        ShowWindow(GetDlgItem(dialog, item), SW_HIDE);
    }
}

void setUpAnswer(HWND dialog, AnswerDialog& state) {
    const AnswerRequest& request = state.request;
    setLabel(dialog, kItemMessage, request.message);
    setLabel(dialog, kItemDescription, request.description);

    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA logFont{};
    if (dialogFont != nullptr && GetObjectA(dialogFont, sizeof logFont, &logFont) == sizeof logFont) {
        logFont.lfHeight += kDescriptionShrink;
        state.descriptionFont.reset(CreateFontIndirectA(&logFont));
        if (state.descriptionFont) {
            SendDlgItemMessageA(dialog, kItemDescription, WM_SETFONT,
                                reinterpret_cast<WPARAM>(state.descriptionFont.get()), FALSE);
        }
    }

    setLabel(dialog, IDOK, request.okLabel);
    showButton(dialog, IDCANCEL, request.cancelShown, request.cancelLabel);
    showButton(dialog, kItemOther, request.otherShown, request.otherLabel);

    HICON icon = nullptr;
    if (const LPCSTR name = systemIcon(request.icon)) {
        icon = LoadIconA(nullptr, name);  // shared system icon: never destroyed
    }
    if (icon != nullptr) {
        SendDlgItemMessageA(dialog, kItemIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }

    AnswerLayoutInput input;
    input.message = itemRect(dialog, kItemMessage);
    input.description = itemRect(dialog, kItemDescription);
    input.icon = itemRect(dialog, kItemIcon);
    for (int i = 0; i < kAnswerButtonCount; ++i) {
        input.buttons[i] = itemRect(dialog, kAnswerButtons[i]);
    }
    RECT window{};
    GetWindowRect(dialog, &window);
    input.window = {window.left, window.top, window.right, window.bottom};
    input.hasIcon = icon != nullptr;
    if (const auto dc = win32::get_window_dc(dialog); dc) {
        input.measured = true;
        input.messageExtent = measureLine(dc.get(), dialogFont, request.message);
        input.descriptionExtent = measureLine(
            dc.get(), state.descriptionFont ? state.descriptionFont.get() : dialogFont, request.description);
    }

    const AnswerLayout layout = layoutAnswer(input);
    if (layout.hideIcon) {
        ShowWindow(GetDlgItem(dialog, kItemIcon), SW_HIDE);
    }
    placeItem(dialog, kItemMessage, layout.message);
    placeItem(dialog, kItemDescription, layout.description);
    if (request.description[0] == '\0') {
        ShowWindow(GetDlgItem(dialog, kItemDescription), SW_HIDE);
    }
    for (int i = 0; i < kAnswerButtonCount; ++i) {
        placeItem(dialog, kAnswerButtons[i], layout.buttons[i]);
    }
    SetWindowPos(dialog, nullptr, layout.window.left, layout.window.top, layout.window.right - layout.window.left,
                 layout.window.bottom - layout.window.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK answerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        setUpAnswer(dialog, *reinterpret_cast<AnswerDialog*>(lparam));
        return TRUE;  // the first button that takes the focus gets it
    }
    if (message == WM_COMMAND) {
        const int command = LOWORD(wparam);
        if (command == IDOK || command == IDCANCEL || command == kItemOther) {
            EndDialog(dialog, command);
            return TRUE;
        }
    }
    return FALSE;
}

// ---- Ask ----

void updateAskOk(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthA(GetDlgItem(dialog, kItemEntry)) > 0);
}

void setUpAsk(HWND dialog, const AskRequest& request) {
    setLabel(dialog, kItemMessage, request.message);
    if (!request.password) {
        SendDlgItemMessageA(dialog, kItemEntry, EM_SETPASSWORDCHAR, 0, 0);
    }
    SendDlgItemMessageA(dialog, kItemEntry, EM_LIMITTEXT, kMessageCapacity, 0);
    if (request.text[0] == '\0' && request.needsSomething) {
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    }
    SetDlgItemTextA(dialog, kItemEntry, request.text);
    setLabel(dialog, IDOK, request.okLabel);
    setLabel(dialog, IDCANCEL, request.cancelLabel);
}

INT_PTR CALLBACK askProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        setUpAsk(dialog, *reinterpret_cast<AskRequest*>(lparam));
        return TRUE;  // the entry, the first control that takes the focus, gets it
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    auto& request = *reinterpret_cast<AskRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
    const int command = LOWORD(wparam);
    const int notification = HIWORD(wparam);
    if (command == kItemEntry && (notification == EN_UPDATE || notification == EN_CHANGE)) {
        if (request.needsSomething) {
            updateAskOk(dialog);
        }
        return TRUE;
    }
    if (command == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (command == IDOK) {
        char typed[kMessageCapacity + 1] = {};
        GetDlgItemTextA(dialog, kItemEntry, typed, sizeof typed);
        if (typed[0] == '\0' && request.needsSomething) {
            return TRUE;  // Enter on an empty entry that must not be empty does nothing
        }
        std::memcpy(request.text, typed, sizeof typed);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

// A text argument into its field; absent leaves the field as it is.
void copyText(const Arguments& args, const char* name, char* field, int capacity) {
    if (args.tagValue(name) != nullptr) {
        args.tagText(name, field, capacity);
    }
}

// CANCEL and OTHER: present shows the button; the value is its label, except the keyword's
// own name (compared exactly), which keeps the template's label.
bool copyButtonLabel(const Arguments& args, const char* name, char* label) {
    const char* value = args.tagValue(name);
    if (value == nullptr) {
        return false;
    }
    args.tagText(name, label, kLabelCapacity);
    if (std::strcmp(value, name) == 0) {
        label[0] = '\0';
    }
    return true;
}

}  // namespace

INT_PTR runAnswerDialog(HINSTANCE module, HWND owner, const AnswerRequest& request) {
    AnswerDialog state{request, {}};
    return DialogBoxParamA(module, MAKEINTRESOURCEA(kDialogAnswer), owner, answerProc,
                           reinterpret_cast<LPARAM>(&state));
}

INT_PTR runAskDialog(HINSTANCE module, HWND owner, AskRequest& request) {
    return DialogBoxParamA(module, MAKEINTRESOURCEA(kDialogAsk), owner, askProc, reinterpret_cast<LPARAM>(&request));
}

Status answerHandler(Call& call) {
    const Arguments& args = call.args();
    AnswerRequest request;
    if (args.tagValue("MESSAGE") == nullptr) {
        return kParamErr;
    }
    copyText(args, "MESSAGE", request.message, kMessageCapacity);
    copyText(args, "DESCRIPTION", request.description, kMessageCapacity);
    copyText(args, "OK", request.okLabel, kLabelCapacity);
    request.cancelShown = copyButtonLabel(args, "CANCEL", request.cancelLabel);
    request.otherShown = copyButtonLabel(args, "OTHER", request.otherLabel);
    request.icon = static_cast<AnswerIcon>(args.tagKeyword("ICON", "STOP,NOTE,CAUTION,QUESTION"));

    const INT_PTR ended =
        runAnswerDialog(static_cast<HINSTANCE>(call.moduleInstance), static_cast<HWND>(call.documentWindow), request);
    return call.setResult(ended == IDOK ? "OK" : ended == IDCANCEL ? "CANCEL" : "OTHER");
}

Status askHandler(Call& call) {
    const Arguments& args = call.args();
    AskRequest request;
    if (args.tagValue("MESSAGE") == nullptr) {
        return kParamErr;
    }
    copyText(args, "MESSAGE", request.message, kMessageCapacity);
    copyText(args, "OK", request.okLabel, kLabelCapacity);
    copyText(args, "CANCEL", request.cancelLabel, kLabelCapacity);
    copyText(args, "DEFAULT", request.text, kMessageCapacity);
    request.needsSomething = args.tagBool("NEEDSOMETHING", false);
    request.password = args.tagBool("PASSWORD", false);

    const INT_PTR ended =
        runAskDialog(static_cast<HINSTANCE>(call.moduleInstance), static_cast<HWND>(call.documentWindow), request);
    if (ended == kDialogFailed) {
        return win32::lastErrorStatus();
    }
    return ended == IDOK ? call.setResult(request.text) : kUserCanceled;
}

}  // namespace korvane
