#include "host/dialog_responder.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace korvane::host {

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr auto kPollInterval = std::chrono::milliseconds(25);
// How long a folder browser may take to show the folder it is asked to select.
constexpr auto kFolderSelectionPatience = std::chrono::seconds(5);
constexpr UINT kSendTimeoutMs = 5000;
constexpr size_t kTextCapacity = 1024;
constexpr int kMaxWaitMs = 600000;
// The file name field of the system's open and save dialogs: a combo box in the newer
// layout, an edit field in the older one.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
// The red, green and blue fields of the system's colour dialog.
constexpr int kColorFields[3] = {706, 707, 708};

bool parseNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

std::optional<DialogAction> parseAction(const std::string& item, std::string& error) {
    using Kind = DialogAction::Kind;
    DialogAction action;
    const size_t equals = item.find('=');
    const std::string verb = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
    const bool hasValue = equals != std::string::npos;
    long number = 0;
    if (verb == "close" && !hasValue) {
        action.kind = Kind::kClose;
    } else if (verb == "none" && !hasValue) {
        action.kind = Kind::kNone;
    } else if (verb == "press" && parseNumber(value, 0, 0xFFFF, number)) {
        action.kind = Kind::kPress;
        action.id = static_cast<int>(number);
    } else if ((verb == "set" || verb == "select") && value.find(':') != std::string::npos &&
               parseNumber(value.substr(0, value.find(':')), 0, 0xFFFF, number)) {
        action.kind = verb == "set" ? Kind::kSet : Kind::kSelect;
        action.id = static_cast<int>(number);
        action.text = value.substr(value.find(':') + 1);
    } else if (verb == "key" && (value == "ENTER" || value == "ESCAPE")) {
        action.kind = Kind::kKey;
        action.number = value == "ENTER" ? VK_RETURN : VK_ESCAPE;
    } else if ((verb == "file" || verb == "folder") && !value.empty()) {
        action.kind = verb == "file" ? Kind::kFile : Kind::kFolder;
        action.text = value;
    } else if (verb == "wait" && parseNumber(value, 0, kMaxWaitMs, number)) {
        action.kind = Kind::kWait;
        action.number = static_cast<int>(number);
    } else if (verb == "color") {
        std::string rest = value;
        for (int channel = 0; channel < 3; ++channel) {
            const size_t comma = channel < 2 ? rest.find(',') : rest.size();
            if (comma == std::string::npos || !parseNumber(rest.substr(0, comma), 0, 255, number)) {
                error = "color needs R,G,B from 0 to 255: " + item;
                return std::nullopt;
            }
            action.rgb[channel] = static_cast<uint8_t>(number);
            rest = comma < rest.size() ? rest.substr(comma + 1) : std::string();
        }
        action.kind = Kind::kColor;
    } else {
        error = "not an action: " + item;
        return std::nullopt;
    }
    return action;
}

std::string windowClass(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

// The window's text, asked of its own thread with a time limit, as a hung dialog must
// not hang the responder.
std::string windowText(HWND window) {
    char text[kTextCapacity] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied)) {
        return {};
    }
    return std::string(text, copied < sizeof text ? copied : sizeof text - 1);
}

bool setWindowText(HWND window, const std::string& text) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &ignored) != 0;
}

// Control texts on one line of the log: line breaks written as \r and \n.
std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            line += c;
        }
    }
    return line;
}

// A user can click only a button that is shown and enabled.
void pressButton(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (button == nullptr) {
        std::fprintf(stderr, "fmhost: the dialog has no control %d to press\n", id);
    } else if (!IsWindowVisible(button) || !IsWindowEnabled(button)) {
        std::fprintf(stderr, "fmhost: button %d is hidden or disabled: not pressed\n", id);
    } else {
        // Posted, not sent: a click may open another dialog, which the responder must be
        // free to answer.
        PostMessageA(button, BM_CLICK, 0, 0);
    }
}

// Chooses the first entry of a combo box that begins with `text`, then tells the dialog as
// a choice from the list does: the selection changed, and the choice was made.
void selectComboEntry(HWND dialog, int id, const std::string& text) {
    const HWND combo = GetDlgItem(dialog, id);
    DWORD_PTR found = static_cast<DWORD_PTR>(CB_ERR);
    if (combo == nullptr ||
        !SendMessageTimeoutA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &found) ||
        static_cast<LRESULT>(found) == CB_ERR) {
        std::fprintf(stderr, "fmhost: no combo box %d with an entry \"%s\"\n", id, text.c_str());
        return;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(combo, CB_SETCURSEL, found, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    const HWND parent = GetParent(combo);
    for (const WORD notification : {static_cast<WORD>(CBN_SELCHANGE), static_cast<WORD>(CBN_SELENDOK)}) {
        SendMessageTimeoutA(parent, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(combo),
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    }
}

// The entries of a combo box's list (a file dialog's file types), each asked of the
// control's own thread with a time limit.
std::vector<std::string> comboEntries(HWND combo) {
    std::vector<std::string> entries;
    // An owner-drawn list without strings keeps only its items' data.
    const LONG style = GetWindowLongA(combo, GWL_STYLE);
    if ((style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0 && (style & CBS_HASSTRINGS) == 0) {
        return entries;
    }
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &count) ||
        static_cast<LRESULT>(count) == CB_ERR) {
        return entries;
    }
    for (DWORD_PTR i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length) ||
            static_cast<LRESULT>(length) == CB_ERR) {
            break;
        }
        std::string text(length + 1, '\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                                 kSendTimeoutMs, &copied) ||
            static_cast<LRESULT>(copied) == CB_ERR) {
            break;
        }
        text.resize(copied <= length ? copied : length);
        entries.push_back(text);
    }
    return entries;
}

// The text of the tree view's selected item, or "" when there is none.
std::string selectedTreeItem(HWND tree) {
    DWORD_PTR item = 0;
    if (tree == nullptr ||
        !SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &item) ||
        item == 0) {
        return {};
    }
    char text[kTextCapacity] = {};
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = reinterpret_cast<HTREEITEM>(item);
    query.pszText = text;
    query.cchTextMax = sizeof text;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                        &ignored);
    return text;
}

// Selects `path` in a folder browser. The browser may still be filling its tree when it
// is first shown, so the selection is made again until the tree shows the folder's own
// name as selected, for a few seconds at most.
void selectFolder(HWND dialog, const std::string& path) {
    std::string name = path;
    while (!name.empty() && (name.back() == '\\' || name.back() == '/')) {
        name.pop_back();
    }
    name.erase(0, name.find_last_of("\\/") + 1);
    const HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + kFolderSelectionPatience;
    do {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                            kSendTimeoutMs, &ignored);
        if (tree == nullptr || selectedTreeItem(tree) == name) {
            return;
        }
        std::this_thread::sleep_for(kPollInterval * 4);
    } while (std::chrono::steady_clock::now() < deadline);
    std::fprintf(stderr, "fmhost: the folder browser did not select \"%s\"\n", path.c_str());
}

BOOL CALLBACK collectDialog(HWND window, LPARAM context) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && windowClass(window) == kDialogClass) {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

}  // namespace

std::optional<std::vector<DialogAction>> parseDialogActions(const std::string& text, std::string& error) {
    std::vector<DialogAction> actions;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(';', start), text.size());
        const auto action = parseAction(text.substr(start, end - start), error);
        if (!action) {
            return std::nullopt;
        }
        actions.push_back(*action);
        start = end + 1;
    }
    return actions;
}

void DialogResponder::start(DWORD hostThread) {
    if (running()) {
        return;
    }
    hostThread_ = hostThread;
    stopping_ = false;
    worker_ = std::thread([this] { watch(); });
}

void DialogResponder::stop() {
    if (!running()) {
        return;
    }
    stopping_ = true;
    worker_.join();
}

bool DialogResponder::queue(const std::string& response, std::string& error) {
    auto actions = parseDialogActions(response, error);
    if (!actions) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    responses_.push_back({response, std::move(*actions)});
    return true;
}

bool DialogResponder::logTo(const std::string& path) {
    log_.reset(std::fopen(path.c_str(), "wb"));
    return log_ != nullptr;
}

std::optional<DialogResponder::Response> DialogResponder::nextResponse() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (responses_.empty()) {
        return std::nullopt;
    }
    Response response = std::move(responses_.front());
    responses_.pop_front();
    return response;
}

void DialogResponder::watch() {
    while (!stopping_) {
        answerNewDialogs();
        escapeUnanswered();
        std::this_thread::sleep_for(kPollInterval);
    }
}

void DialogResponder::answerNewDialogs() {
    std::erase_if(watched_, [](const Watched& watched) { return !IsWindow(watched.window); });
    std::vector<HWND> dialogs;
    EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&dialogs));
    for (const HWND dialog : dialogs) {
        const bool known = std::any_of(watched_.begin(), watched_.end(),
                                       [dialog](const Watched& watched) { return watched.window == dialog; });
        if (known) {
            continue;
        }
        ++seen_;
        const auto response = nextResponse();
        watched_.push_back({dialog, std::chrono::steady_clock::now(), response.has_value()});
        describe(dialog, response ? response->text : std::string("(none left)"));
        if (response) {
            for (const DialogAction& action : response->actions) {
                perform(dialog, action);
            }
        }
    }
}

void DialogResponder::escapeUnanswered() {
    const auto now = std::chrono::steady_clock::now();
    for (Watched& watched : watched_) {
        if (!watched.answered && !watched.escaped && now - watched.firstSeen >= kUnansweredTimeout) {
            std::fprintf(stderr, "fmhost: no response left for the dialog \"%s\": pressing Escape\n",
                         oneLine(windowText(watched.window)).c_str());
            DialogAction escape;
            escape.kind = DialogAction::Kind::kKey;
            escape.number = VK_ESCAPE;
            perform(watched.window, escape);
            watched.escaped = true;
        }
    }
}

void DialogResponder::perform(HWND dialog, const DialogAction& action) {
    using Kind = DialogAction::Kind;
    switch (action.kind) {
        case Kind::kSet:
            setWindowText(GetDlgItem(dialog, action.id), action.text);
            break;
        case Kind::kSelect:
            selectComboEntry(dialog, action.id, action.text);
            break;
        case Kind::kPress:
            pressButton(dialog, action.id);
            break;
        case Kind::kKey: {
            // To the control with the focus, as the keyboard does; the dialog's own key
            // handling turns Enter and Escape into its default and cancel commands.
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            HWND target = dialog;
            if (GetGUIThreadInfo(hostThread_, &info) && info.hwndFocus != nullptr &&
                (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus))) {
                target = info.hwndFocus;
            }
            PostMessageA(target, WM_KEYDOWN, action.number, 1);
            PostMessageA(target, WM_KEYUP, action.number, 0xC0000001);
            break;
        }
        case Kind::kClose:
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Kind::kFile: {
            HWND field = GetDlgItem(dialog, kFileNameCombo);
            if (field == nullptr) {
                field = GetDlgItem(dialog, kFileNameEdit);
            }
            setWindowText(field, action.text);
            pressButton(dialog, IDOK);
            break;
        }
        case Kind::kFolder:
            selectFolder(dialog, action.text);
            pressButton(dialog, IDOK);
            break;
        case Kind::kColor:
            for (int channel = 0; channel < 3; ++channel) {
                setWindowText(GetDlgItem(dialog, kColorFields[channel]), std::to_string(action.rgb[channel]));
            }
            pressButton(dialog, IDOK);
            break;
        case Kind::kWait:
            std::this_thread::sleep_for(std::chrono::milliseconds(action.number));
            break;
        case Kind::kNone:
            break;
    }
}

void DialogResponder::describe(HWND dialog, const std::string& response) {
    if (!log_) {
        return;
    }
    std::FILE* log = log_.get();
    RECT window{};
    GetWindowRect(dialog, &window);
    std::fprintf(log, "dialog \"%s\" %ldx%ld\n", oneLine(windowText(dialog)).c_str(), window.right - window.left,
                 window.bottom - window.top);
    std::vector<HWND> children;
    EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&children));
    for (const HWND child : children) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const std::string className = windowClass(child);
        std::fprintf(log, "  %d %s \"%s\" %s %s %ld,%ld,%ld,%ld", GetDlgCtrlID(child), className.c_str(),
                     oneLine(windowText(child)).c_str(), IsWindowVisible(child) ? "visible" : "hidden",
                     IsWindowEnabled(child) ? "enabled" : "disabled", rect.left, rect.top, rect.right, rect.bottom);
        DWORD_PTR mask = 0;
        if (className == "Edit" &&
            SendMessageTimeoutA(child, EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &mask) &&
            mask != 0) {
            std::fputs(" password", log);
        }
        if (className == PROGRESS_CLASSA) {
            DWORD_PTR low = 0, high = 0, position = 0;
            SendMessageTimeoutA(child, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &low);
            SendMessageTimeoutA(child, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high);
            SendMessageTimeoutA(child, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position);
            std::fprintf(log, " range %ld..%ld position %ld", static_cast<long>(low), static_cast<long>(high),
                         static_cast<long>(position));
        }
        std::fputc('\n', log);
        if (className == WC_COMBOBOXA) {
            for (const std::string& entry : comboEntries(child)) {
                std::fprintf(log, "    entry \"%s\"\n", oneLine(entry).c_str());
            }
        }
    }
    std::fprintf(log, "response: %s\n", oneLine(response).c_str());
    std::fflush(log);
}

}  // namespace korvane::host
