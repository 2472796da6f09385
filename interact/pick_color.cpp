#include "interact/pick_color.h"

#include <windows.h>

#include <commdlg.h>

#include "core/args.h"
#include "core/result_text.h"
#include "interact/color_text.h"

namespace korvane {
namespace {

constexpr int kCustomColorSlots = 16;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr size_t kColorResultCapacity = 16;  // "255,255,255"

// Sets the dialog's title to the message handed over in the request; handles nothing else.
UINT_PTR CALLBACK titleHook(HWND dialog, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        const auto* request = reinterpret_cast<const CHOOSECOLORA*>(lparam);
        SetWindowTextA(dialog, reinterpret_cast<const char*>(request->lCustData));
    }
    return 0;
}

// The dialog works in bytes; a byte b is the component whose high byte is b.
uint16_t componentOfByte(BYTE b) {
    return static_cast<uint16_t>(b << 8);
}

}  // namespace

Status pickColorHandler(Call& call) {
    const Arguments& args = call.args();
    const char* message = args.tagValue("MESSAGE");
    Color initial{kMaxComponent, kMaxComponent, kMaxComponent};
    readColorArg(args, "COLOR", &initial);  // an unusable colour leaves white
    const COLORREF start =
        RGB(byteOfComponent(initial.red), byteOfComponent(initial.green), byteOfComponent(initial.blue));

    // Fresh for each call: the initial colour, then white.
    COLORREF custom[kCustomColorSlots];
    for (COLORREF& slot : custom) {
        slot = kWhite;
    }
    custom[0] = start;

    CHOOSECOLORA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = static_cast<HWND>(call.documentWindow);
    request.rgbResult = start;
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (message != nullptr && *message != '\0') {
        request.Flags |= CC_ENABLEHOOK;
        request.lpfnHook = titleHook;
        request.lCustData = reinterpret_cast<LPARAM>(message);
    }
    if (!ChooseColorA(&request)) {
        return kUserCanceled;  // cancelled, or the dialog could not be shown
    }
    const Color chosen{componentOfByte(GetRValue(request.rgbResult)), componentOfByte(GetGValue(request.rgbResult)),
                       componentOfByte(GetBValue(request.rgbResult))};
    LocalText<kColorResultCapacity> result;
    formatColorText(result, chosen);
    return call.setResult(result.c_str());
}

}  // namespace korvane
