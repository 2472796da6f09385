#pragma once
// Answers the dialogs that a module shows, the way a user would, so that scripts and tests
// can drive modal and modeless dialogs (the module's own, message boxes, and the system's
// colour, file and folder dialogs) without anyone at the keyboard.
//
// Responses are queued; each dialog that appears takes the next one as soon as it is shown.
// A response is a ';'-separated list of actions, performed in order:
//   set=ID:TEXT   put TEXT into control ID, as typing does (the control notifies its dialog)
//   press=ID      press button ID the way a click does (nothing when it is hidden or disabled)
//   key=ENTER     the Enter key, through the dialog's own key handling (also key=ESCAPE)
//   close         the caption's close box
//   select=ID:TEXT  choose the first entry of combo box ID that begins with TEXT (letter case
//                 ignored), as picking it from the list does (a file dialog's type: ID 1136)
//   file=PATH     an open or save dialog: type PATH into its file name field and confirm
//   folder=PATH   the folder browser: select PATH and confirm
//   color=R,G,B   the colour dialog: choose that colour and confirm
//   wait=MS       wait that long before the next action
//   none          leave the dialog alone (a modeless window that the script closes later)
// A dialog for which no response is left is ended with Escape after ten seconds, with a line
// on standard error, so that no scripted run waits for ever.
//
// The responder watches from a thread of its own and acts only by posting or sending the
// messages a user's input would cause, so the dialog's own code runs on the host's thread
// as it would for a user.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace korvane::host {

struct DialogAction {
    enum class Kind { kSet, kSelect, kPress, kKey, kClose, kFile, kFolder, kColor, kWait, kNone };
    Kind kind = Kind::kNone;
    int id = 0;           // set, select, press
    int number = 0;       // key: the virtual key; wait: milliseconds
    std::string text;     // set: the text; select: the entry's start; file, folder: the path
    uint8_t rgb[3] = {};  // color
};

// Reads "press=1;wait=200;key=ENTER"; nullopt (and `error` says why) when it is not valid.
std::optional<std::vector<DialogAction>> parseDialogActions(const std::string& text, std::string& error);

class DialogResponder {
  public:
    static constexpr std::chrono::milliseconds kUnansweredTimeout{10000};

    DialogResponder() = default;
    ~DialogResponder() { stop(); }
    DialogResponder(const DialogResponder&) = delete;
    DialogResponder& operator=(const DialogResponder&) = delete;

    // Starts watching the dialogs of this process shown by `hostThread`'s windows; the
    // host thread is the one whose focus the key actions go to. Idempotent.
    void start(DWORD hostThread);
    void stop();
    bool running() const { return worker_.joinable(); }

    // Queues one response, written as above; false (and `error` says why) when it is not valid.
    bool queue(const std::string& response, std::string& error);
    // Each dialog that appears is described in FILE before its response acts: its caption
    // and size, then its controls.
    bool logTo(const std::string& path);
    // Dialogs seen so far (for tests: how many were shown and answered).
    int dialogsSeen() const { return seen_.load(); }

  private:
    struct Response {
        std::string text;
        std::vector<DialogAction> actions;
    };
    struct Watched {
        HWND window;
        std::chrono::steady_clock::time_point firstSeen;
        bool answered = false;
        bool escaped = false;
    };

    void watch();
    void answerNewDialogs();

    void perform(HWND dialog, const DialogAction& action);
    void describe(HWND dialog, const std::string& response);
    void escapeUnanswered();
    std::optional<Response> nextResponse();

    DWORD hostThread_ = 0;
    std::thread worker_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> seen_{0};
    std::mutex mutex_;  // guards responses_
    std::deque<Response> responses_;
    std::vector<Watched> watched_;  // the worker's own
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> log_{nullptr, &std::fclose};
};

}  // namespace korvane::host
