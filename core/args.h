#pragma once
// The command language: the parameter text of one external call, cut in place into
// positional tokens, tags (KEY=value or bare words) and commands separated by "|",
// and the accessors through which every handler reads its arguments.
//
// The module's wiring owns one Arguments per external call and hands it to the handler
// in its Call. Every text an accessor returns points into the caller's parameter buffer
// and stays valid until the call ends.

#include <cstddef>
#include <cstdint>

#include "core/shift_jis.h"
#include "core/status.h"

namespace korvane {

namespace detail {
struct ParsedText;
}

struct DateTime {
    int16_t year = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t hour = 0;
    int16_t minute = 0;
    int16_t second = 0;
};

// The parameter text of one external call, parsed one command at a time. An Arguments
// that was never started (or has ended) reads as a command without arguments.
class Arguments {
  public:
    Arguments() = default;
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments();

    // ---- Parsing (used by the call lifecycle and the dispatcher only) ----

    // Parses the first command of `text` (zero-terminated, modified in place).
    // `tagNameArea` receives upper-cased copies of tag names; it must hold at least
    // strlen(text) + 1 bytes. Returns kOutOfMemory if the token list cannot grow.
    Status start(char* text, char* tagNameArea);
    // Parses the next command, if any. A doubled "|" first forgets all earlier
    // tokens and tags. Returns whether a further command was parsed.
    bool nextCommand();
    // Whether anything but blanks and "|" remains after the current command.
    bool hasTextAfterCurrentCommand() const;
    // kOutOfMemory once the token list or the tag table could not grow (nextCommand()
    // then answers false); otherwise kNoErr.
    Status status() const;
    // Releases the token list and forgets the text.
    void end();

    // ---- Positional access (1-based) ----

    const char* argAt(int index) const;
    bool argNumber(int index, int32_t* out) const;
    int argNumberList(int index, int32_t* out, int max) const;
    int argCount() const;

    // ---- Tag access (names matched without regard to ASCII case) ----

    int tagCount() const;
    const char* tagName(int index) const;
    const char* tagValue(const char* name) const;
    // Copies at most min(capacity, 255) characters and a terminator: `buffer` holds capacity + 1 bytes.
    // A negative capacity answers false and leaves the buffer untouched.
    bool tagText(const char* name, char* buffer, int capacity) const;
    int32_t tagNumber(const char* name) const;
    bool tagNumberChecked(const char* name, int32_t* out) const;
    int32_t tagNumberOrPercent(const char* name, int32_t base) const;
    int tagNumberList(const char* name, int32_t* out, int max) const;
    bool tagBool(const char* name, bool defaultValue) const;
    int tagKeyword(const char* name, const char* keywordList) const;
    bool tagCode(const char* name, uint32_t* out) const;
    int tagCodeList(const char* name, uint32_t* out, int max) const;
    // Fields not given keep the caller's values.
    bool tagDateTime(const char* dateName, const char* timeName, DateTime* out) const;

    // The current command's number, from 1; 0 before start.
    int commandIndex() const;
    bool isFirstCommand() const;

  private:
    detail::ParsedText* parsed_ = nullptr;
};

// ---- Shared text operations ----

int32_t parseInteger(const char* text);
bool isNumberText(const char* text);
int parseNumberList(const char* text, int32_t* out, int max);
bool textToBool(const char* text);
int matchKeyword(const char* keywordList, const char* text);
bool textToCode(const char* text, uint32_t* out);
int parseCodeList(const char* text, uint32_t* out, int max);
// Either text may be null; fields of a missing text keep their values. When a present text
// does not follow its pattern the answer is false and `out` is left untouched.
bool parseDateTime(const char* dateText, const char* timeText, DateTime* out);

}  // namespace korvane
