#pragma once
// The progress display of KUtl-OpenProgress, KUtl-UpdateProgress and KUtl-CloseProgress:
// a modeless dialog with a bar, a message and an abort button, or a bar embedded at the
// bottom left of the host's document window. It lives in PluginState between calls and
// changes only while one of the three functions runs.

#include <windows.h>

#include "core/call.h"
#include "core/status.h"
#include "interact/progress_model.h"
#include "platform/win32/raii.h"

namespace korvane {

class ProgressDisplay {
  public:
    static constexpr int kTextCapacity = 63;  // characters of the title and of the message

    ProgressDisplay() = default;
    ~ProgressDisplay() { close(); }
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    // A dialog titled TITLE with MESSAGE when `dialog`, else an embedded bar on first show.
    // The display shown before, if any, is closed first. A status when the dialog cannot be
    // made.
    Status open(HINSTANCE module, HWND document, bool dialog, bool movable, const char* title, const char* message);
    // kUserCanceled once the abort button was pressed, until the display is closed. A bar
    // embedded on this update goes into `document`.
    Status update(const ProgressUpdate& update, HWND document);
    void close();

    // The bar and the dialog as shown, for tests; null when there is none.
    HWND bar() const { return bar_; }
    HWND dialog() const { return dialog_.get(); }
    const ProgressModel& model() const { return model_; }

  private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
    void show(bool setRange, HWND document);
    bool attachBar(HWND document);
    void drawBarberFrame();
    void serveDialog();

    ProgressModel model_;
    win32::unique_hwnd dialog_;
    win32::unique_hwnd embeddedBar_;  // the bar made in the document window, when there is no dialog
    HWND bar_ = nullptr;              // the bar shown: the dialog's or the embedded one
    win32::unique_hbitmap stripes_;
    HINSTANCE module_ = nullptr;
    bool movable_ = false;  // kept; a dialog with a caption can be moved in any case
    bool cancelled_ = false;
    char title_[kTextCapacity + 1] = {};
    char message_[kTextCapacity + 1] = {};
    int barWidth_ = 0;
    int barHeight_ = 0;
};

// The three functions, each given the display that PluginState keeps between calls (null
// without a PluginState).
Status openProgressHandler(Call& call, ProgressDisplay* display);
Status updateProgressHandler(Call& call, ProgressDisplay* display);
Status closeProgressHandler(Call& call, ProgressDisplay* display);

}  // namespace korvane
