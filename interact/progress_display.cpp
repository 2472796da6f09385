#include "interact/progress_display.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "core/args.h"
#include "platform/win32/system_error.h"
#include "resources/resource_ids.h"

namespace korvane {
namespace {

constexpr int kEmbeddedBarWidth = 158;

// The embedded bar stops short of the first child that is laid out like a horizontal
// scroll bar: a child whose style is set and has its low 16 bits clear.
struct ScrollBarSearch {
    HWND found = nullptr;
};

BOOL CALLBACK findScrollBarLike(HWND child, LPARAM context) {
    const auto style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    if (style != 0 && (style & 0xFFFF) == 0) {
        reinterpret_cast<ScrollBarSearch*>(context)->found = child;
        return FALSE;
    }
    return TRUE;
}

int embeddedBarWidth(HWND host) {
    ScrollBarSearch search;
    EnumChildWindows(host, findScrollBarLike, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return kEmbeddedBarWidth;
    }
    RECT child{}, window{};
    GetWindowRect(search.found, &child);
    GetWindowRect(host, &window);
    return child.left - window.left - GetSystemMetrics(SM_CXFRAME) - 1;
}

// The system's progress bar class is there once the common controls are initialised.
void registerProgressBarClass() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

// The stripe image: diagonal stripes repeating every 40 pixels, each row the row above
// shifted one pixel to the right.
constexpr int kStripeImageWidth = 438;
constexpr int kStripeImageHeight = 16;
constexpr int kStripePeriod = 40;
// Columns copied at a time: whole periods that fit beside the largest starting column.
constexpr int kStripeChunk =
    (kStripeImageWidth - ProgressModel::kOffsetStart - kStripePeriod) / kStripePeriod * kStripePeriod;

// Covers the whole bar with the stripes from `offset` on. A bar larger than the image (the
// system's bar is 17 pixels high) is tiled so that the stripes run on without a seam.
void drawStripes(HDC bar, HDC stripes, int offset, int width, int height) {
    for (int top = 0; top < height; top += kStripeImageHeight) {
        // Rows `top` and more further down continue the diagonal `top` pixels to the right.
        const int sourceX = offset + (kStripePeriod - top % kStripePeriod) % kStripePeriod;
        const int rows = std::min(kStripeImageHeight, height - top);
        for (int left = 0; left < width; left += kStripeChunk) {
            BitBlt(bar, left, top, std::min(kStripeChunk, width - left), rows, stripes, sourceX, 0, SRCCOPY);
        }
    }
}

ProgressArgument readArgument(const Arguments& args, const char* name) {
    ProgressArgument argument;
    argument.present = args.tagValue(name) != nullptr;
    if (argument.present) {
        argument.wellFormed = args.tagNumberChecked(name, &argument.number);
    }
    return argument;
}

ProgressUpdate readUpdate(const Arguments& args) {
    ProgressUpdate update;
    update.barberPresent = args.tagValue("BARBER") != nullptr;
    update.barber = update.barberPresent && args.tagBool("BARBER", false);
    update.min = readArgument(args, "MIN");
    update.max = readArgument(args, "MAX");
    update.value = readArgument(args, "VALUE");
    return update;
}

}  // namespace

Status ProgressDisplay::open(HINSTANCE module,
                             HWND document,
                             bool dialog,
                             bool movable,
                             const char* title,
                             const char* message) {
    close();  // never leave an earlier display orphaned
    module_ = module;
    movable_ = movable;
    model_.reset(GetTickCount());
    title_[0] = message_[0] = '\0';
    if (!dialog) {
        return kNoErr;
    }
    std::strncpy(title_, title, kTextCapacity);
    std::strncpy(message_, message, kTextCapacity);
    registerProgressBarClass();
    dialog_.reset(CreateDialogParamA(module, MAKEINTRESOURCEA(kDialogProgress), document, dialogProc,
                                     reinterpret_cast<LPARAM>(this)));
    if (!dialog_) {
        return win32::lastErrorStatus();
    }
    ShowWindow(dialog_.get(), SW_SHOW);
    return kNoErr;
}

Status ProgressDisplay::update(const ProgressUpdate& update, HWND document) {
    if (dialog_ && cancelled_) {
        ShowWindow(dialog_.get(), SW_HIDE);  // hidden until the display is closed
        return kUserCanceled;
    }
    const ProgressShow shown = model_.update(update);
    if (shown.show) {
        show(shown.setRange, document);
    }
    return kNoErr;
}

void ProgressDisplay::close() {
    cancelled_ = false;
    stripes_.reset();
    bar_ = nullptr;
    dialog_.reset();  // destroys its bar with it
    embeddedBar_.reset();
    barWidth_ = barHeight_ = 0;
}

INT_PTR CALLBACK ProgressDisplay::dialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* display = reinterpret_cast<ProgressDisplay*>(lparam);
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        if (display->message_[0] != '\0') {
            SetDlgItemTextA(dialog, kItemMessage, display->message_);
        }
        SetWindowTextA(dialog, display->title_);
        return FALSE;  // no control takes the focus
    }
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
        auto* display = reinterpret_cast<ProgressDisplay*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (display != nullptr) {
            display->cancelled_ = true;  // the next update hides the dialog and answers the abort
        }
        return TRUE;
    }
    return FALSE;
}

bool ProgressDisplay::attachBar(HWND document) {
    if (bar_ != nullptr) {
        return true;
    }
    if (dialog_) {
        bar_ = GetDlgItem(dialog_.get(), kItemProgressBar);
        return bar_ != nullptr;
    }
    const HWND host = document;
    if (host == nullptr) {
        return false;
    }
    RECT client{};
    GetClientRect(host, &client);
    const int height = GetSystemMetrics(SM_CYVSCROLL);
    registerProgressBarClass();
    embeddedBar_.reset(CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, client.left,
                                       client.bottom - height + 1, embeddedBarWidth(host), height, host, nullptr,
                                       module_, nullptr));
    bar_ = embeddedBar_.get();
    return bar_ != nullptr;
}

void ProgressDisplay::show(bool setRange, HWND document) {
    if (!attachBar(document)) {
        return;  // nothing shown; the next show tries again
    }
    if (model_.barber()) {
        drawBarberFrame();
    } else {
        // The whole 32-bit range: a 16-bit one would wrap beyond 32767 and show a wrong fraction.
        if (setRange) {
            SendMessageA(bar_, PBM_SETRANGE32, static_cast<WPARAM>(model_.min()), static_cast<LPARAM>(model_.max()));
        }
        SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(model_.value()), 0);
    }
    if (dialog_) {
        serveDialog();
    }
}

void ProgressDisplay::drawBarberFrame() {
    if (!stripes_) {
        stripes_.reset(LoadBitmapA(module_, MAKEINTRESOURCEA(kBitmapProgressStripes)));
        if (!stripes_) {
            return;
        }
    }
    if (barWidth_ == 0) {
        RECT client{};
        GetClientRect(bar_, &client);
        barWidth_ = client.right;
        barHeight_ = client.bottom;
    }
    if (!model_.advanceFrame(GetTickCount())) {
        return;
    }
    const auto barDc = win32::get_window_dc(bar_);
    if (!barDc) {
        return;
    }
    win32::unique_hdc stripesDc(CreateCompatibleDC(barDc.get()));
    if (!stripesDc) {
        return;
    }
    const auto selected = win32::select_object(stripesDc.get(), stripes_.get());
    drawStripes(barDc.get(), stripesDc.get(), model_.offset(), barWidth_, barHeight_);
}

// The only time the plug-in serves the dialog and its abort button: every message waiting
// for the thread is dispatched. A quit request belongs to the host's own loop: it is put
// back for the host to find, and serving stops.
void ProgressDisplay::serveDialog() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

Status openProgressHandler(Call& call, ProgressDisplay* display) {
    const Arguments& args = call.args();
    if (display == nullptr) {
        return kParamErr;  // no PluginState: the dispatcher answers before this
    }
    const bool dialog = args.tagBool("DIALOG", false);
    char title[ProgressDisplay::kTextCapacity + 1] = {};
    char message[ProgressDisplay::kTextCapacity + 1] = {};
    if (dialog) {
        args.tagText("TITLE", title, ProgressDisplay::kTextCapacity);
        args.tagText("MESSAGE", message, ProgressDisplay::kTextCapacity);
    }
    const auto document = static_cast<HWND>(call.documentWindow);
    if (const Status status = display->open(static_cast<HINSTANCE>(call.moduleInstance), document, dialog,
                                            args.tagBool("MOVABLE", false), title, message)) {
        return status;
    }
    return display->update(readUpdate(args), document);
}

Status updateProgressHandler(Call& call, ProgressDisplay* display) {
    const Arguments& args = call.args();
    return display != nullptr ? display->update(readUpdate(args), static_cast<HWND>(call.documentWindow)) : kParamErr;
}

Status closeProgressHandler(Call&, ProgressDisplay* display) {
    if (display != nullptr) {
        display->close();
    }
    return kNoErr;
}

}  // namespace korvane
