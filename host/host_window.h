#pragma once
// The host's windows: an MDI frame with an "MDIClient" child and one document window
// in front, active, so a module that looks for the host's document window (active
// window, its owner or itself, the "MDIClient" child, its topmost child) finds it. The
// document window keeps one device context of its own, so a window origin set on it stays.

#include <windows.h>

#include "platform/win32/raii.h"

namespace korvane::host {

inline constexpr int kDefaultDocumentWidth = 800;
inline constexpr int kDefaultDocumentHeight = 600;

class HostWindow {
  public:
    HostWindow() = default;
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow();

    // Creates the frame, its MDI client and the document window whose client area is
    // width x height; shows them and activates the frame. False when any step fails.
    bool create(int width, int height);
    void destroy();
    // Gives the document window a new client size (the frame grows to hold it).
    bool resizeDocument(int width, int height);
    // Moves the window origin of the document window's own device context, as the host does
    // when it scrolls or shows its status area: local point (x, y) is then its top-left pixel.
    bool setDocumentOrigin(int x, int y);
    // Puts the mouse pointer at client point (x, y) of the document window.
    bool placeMouse(int x, int y);

    HWND frame() const { return frame_.get(); }
    HWND mdiClient() const { return mdiClient_; }
    HWND document() const { return document_; }

    // Handles every message waiting for this thread, as the host's event loop does between calls.
    void pumpMessages();

  private:
    bool fitFrameToDocument(int width, int height);

    win32::unique_hwnd frame_;
    HWND mdiClient_ = nullptr;  // children go with the frame
    HWND document_ = nullptr;
};

}  // namespace korvane::host
