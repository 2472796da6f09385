#pragma once
// KUtl-Answer and KUtl-Ask: the plug-in's own modal message box (an icon, a message, a
// description line and up to three buttons) and entry box (a message and a one-line
// field), owned by the host's document window.

#include <windows.h>

#include "core/call.h"
#include "core/status.h"

namespace korvane {

inline constexpr int kMessageCapacity = 255;  // characters of a message, description or entry text
inline constexpr int kLabelCapacity = 31;     // characters of a button label

enum class AnswerIcon { kNone, kStop, kNote, kCaution, kQuestion };

struct AnswerRequest {
    AnswerIcon icon = AnswerIcon::kNone;
    char message[kMessageCapacity + 1] = {};
    char description[kMessageCapacity + 1] = {};
    char okLabel[kLabelCapacity + 1] = {};  // empty: the template's label stays
    char cancelLabel[kLabelCapacity + 1] = {};
    char otherLabel[kLabelCapacity + 1] = {};
    bool cancelShown = false;
    bool otherShown = false;
};

struct AskRequest {
    char message[kMessageCapacity + 1] = {};
    char text[kMessageCapacity + 1] = {};  // the entry's first text; on OK, the text typed
    char okLabel[kLabelCapacity + 1] = {};
    char cancelLabel[kLabelCapacity + 1] = {};
    bool password = false;
    bool needsSomething = false;
};

// Runs the message box modally; the end code is IDOK, IDCANCEL or the other button's
// number, or -1 when the box could not be shown.
INT_PTR runAnswerDialog(HINSTANCE module, HWND owner, const AnswerRequest& request);
// Runs the entry box modally; on IDOK the request's text holds what was typed.
INT_PTR runAskDialog(HINSTANCE module, HWND owner, AskRequest& request);

// KUtl-Answer: "OK", "CANCEL" or "OTHER", by the button that ended the box.
Status answerHandler(Call& call);
// KUtl-Ask: the text typed, or kUserCanceled.
Status askHandler(Call& call);

}  // namespace korvane
