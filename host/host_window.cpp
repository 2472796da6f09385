#include "host/host_window.h"

namespace korvane::host {

namespace {

constexpr char kFrameClass[] = "KorvaneHostFrame";
constexpr char kDocumentClass[] = "KorvaneHostDocument";
constexpr char kMdiClientClass[] = "MDICLIENT";
constexpr char kFrameTitle[] = "fmhost";
constexpr char kDocumentTitle[] = "Document";
// First id the MDI client gives to its children's Window menu items.
constexpr UINT kFirstChildId = 0xFF00;

// Windows are kept to the screen's size unless they say otherwise; the document window
// may be larger than the screen.
constexpr LONG kLargestWindowSide = 32767;

bool allowAnySize(UINT message, LPARAM lParam) {
    if (message != WM_GETMINMAXINFO) {
        return false;
    }
    auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
    limits->ptMaxTrackSize = POINT{kLargestWindowSide, kLargestWindowSide};
    return true;
}

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (allowAnySize(message, lParam)) {
        return 0;
    }
    auto mdiClient = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return DefFrameProcA(window, mdiClient, message, wParam, lParam);
}

LRESULT CALLBACK documentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (allowAnySize(message, lParam)) {
        return 0;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

bool registerClasses() {
    static const bool registered = [] {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA frame = {};
        frame.lpfnWndProc = &frameProc;
        frame.hInstance = instance;
        frame.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        frame.lpszClassName = kFrameClass;
        WNDCLASSA document = {};
        document.style = CS_OWNDC;
        document.lpfnWndProc = &documentProc;
        document.hInstance = instance;
        document.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        document.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        document.lpszClassName = kDocumentClass;
        return RegisterClassA(&frame) != 0 && RegisterClassA(&document) != 0;
    }();
    return registered;
}

// The window size that gives `window` a client area of width x height, by its present frame.
SIZE outerSizeFor(HWND window, int width, int height) {
    RECT outer = {};
    RECT inner = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    return SIZE{width + (outer.right - outer.left) - inner.right, height + (outer.bottom - outer.top) - inner.bottom};
}

}  // namespace

HostWindow::~HostWindow() {
    destroy();
}

void HostWindow::destroy() {
    frame_.reset();
    mdiClient_ = nullptr;
    document_ = nullptr;
    pumpMessages();
}

bool HostWindow::create(int width, int height) {
    destroy();
    if (!registerClasses()) {
        return false;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    frame_.reset(CreateWindowExA(0, kFrameClass, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width + 100,
                                 height + 100, nullptr, nullptr, instance, nullptr));
    if (!frame_) {
        return false;
    }
    CLIENTCREATESTRUCT client = {};
    client.idFirstChild = kFirstChildId;
    mdiClient_ = CreateWindowExA(WS_EX_CLIENTEDGE, kMdiClientClass, nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                                 0, width, height, frame_.get(), nullptr, instance, &client);
    if (mdiClient_ == nullptr) {
        destroy();
        return false;
    }
    SetWindowLongPtrA(frame_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(mdiClient_));
    document_ =
        CreateWindowExA(WS_EX_MDICHILD, kDocumentClass, kDocumentTitle, WS_CHILD | WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                        0, width, height, mdiClient_, nullptr, instance, nullptr);
    if (document_ == nullptr || !resizeDocument(width, height)) {
        destroy();
        return false;
    }
    ShowWindow(frame_.get(), SW_SHOWNORMAL);
    SetForegroundWindow(frame_.get());
    SetActiveWindow(frame_.get());
    SendMessageA(mdiClient_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document_), 0);
    UpdateWindow(frame_.get());
    pumpMessages();
    return true;
}

bool HostWindow::setDocumentOrigin(int x, int y) {
    const auto dc = win32::get_window_dc(document_);
    return dc && SetWindowOrgEx(dc.get(), x, y, nullptr);
}

bool HostWindow::placeMouse(int x, int y) {
    POINT at = {x, y};
    return document_ != nullptr && ClientToScreen(document_, &at) && SetCursorPos(at.x, at.y);
}

bool HostWindow::resizeDocument(int width, int height) {
    if (document_ == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    const SIZE documentSize = outerSizeFor(document_, width, height);
    if (!SetWindowPos(document_, HWND_TOP, 0, 0, documentSize.cx, documentSize.cy, SWP_NOACTIVATE)) {
        return false;
    }
    RECT client = {};
    return fitFrameToDocument(documentSize.cx, documentSize.cy) && GetClientRect(document_, &client) &&
           client.right == width && client.bottom == height;
}

bool HostWindow::fitFrameToDocument(int width, int height) {
    // The MDI client fills the frame's client area; both get just room for the document.
    RECT clientOuter = {};
    RECT clientInner = {};
    GetWindowRect(mdiClient_, &clientOuter);
    GetClientRect(mdiClient_, &clientInner);
    const int clientWidth = width + (clientOuter.right - clientOuter.left) - clientInner.right;
    const int clientHeight = height + (clientOuter.bottom - clientOuter.top) - clientInner.bottom;
    const SIZE frameSize = outerSizeFor(frame_.get(), clientWidth, clientHeight);
    return SetWindowPos(frame_.get(), nullptr, 0, 0, frameSize.cx, frameSize.cy, SWP_NOZORDER | SWP_NOACTIVATE) !=
           FALSE;
}

void HostWindow::pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left in the queue for whoever runs the host, as a real host's loop would end on it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (mdiClient_ == nullptr || !TranslateMDISysAccel(mdiClient_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace korvane::host
