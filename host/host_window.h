#pragma once
// The host's windows: an MDI frame with an "MDIClient" child and one document window
// in front, active, so a module that looks for the host's document window (active
// window, its owner or itself, the "MDIClient" child, its topmost child) finds it.

#include <windows.h>

#include "host/host_raii.h"

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

    HWND frame() const { return frame_.get(); }
    HWND mdiClient() const { return mdiClient_; }
    HWND document() const { return document_; }

    // Handles every message waiting for this thread, as the host's event loop does between calls.
    void pumpMessages();

  private:
    bool fitFrameToDocument(int width, int height);

    OwnedWindow frame_;
    HWND mdiClient_ = nullptr;  // children go with the frame
    HWND document_ = nullptr;
};

}  // namespace korvane::host
