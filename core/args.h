#pragma once
// The command language: the parameter text of one external call, cut in place into
// positional tokens, tags (KEY=value or bare words) and commands separated by "|",
// and the accessors through which every handler reads its arguments.
//
// State is global and lives for one external call: startParameterText() begins it,
// nextCommand() moves to the next command, endParameterText() releases it. Every
// text an accessor returns points into the caller's parameter buffer and stays valid
// until the call ends.

#include <cstddef>
#include <cstdint>

#include "core/shift_jis.h"
#include "core/status.h"

namespace korvane {

// ---- Parsing (used by the call lifecycle and the dispatcher only) ----

// Parses the first command of `text` (zero-terminated, modified in place).
// `tagNameArea` receives upper-cased copies of tag names; it must hold at least
// strlen(text) + 1 bytes. Returns kOutOfMemory if the token list cannot grow.
Status startParameterText(char* text, char* tagNameArea);

// Parses the next command, if any. A doubled "|" first forgets all earlier
// tokens and tags. Returns whether a further command was parsed.
bool nextCommand();

// Whether anything but blanks and "|" remains after the current command.
bool hasTextAfterCurrentCommand();

// kOutOfMemory once the token list or the tag table could not grow during this call
// (nextCommand() then answers false); otherwise kNoErr.
Status parameterTextStatus();

// Releases the token list and forgets the text.
void endParameterText();

// ---- Positional access (1-based) ----

const char* argAt(int index);
bool argNumber(int index, int32_t* out);
int argNumberList(int index, int32_t* out, int max);
int argCount();

// ---- Tag access (names matched without regard to ASCII case) ----

int tagCount();
const char* tagName(int index);
const char* tagValue(const char* name);
// Copies at most min(capacity, 255) characters and a terminator: `buffer` holds capacity + 1 bytes.
// A negative capacity answers false and leaves the buffer untouched.
bool tagText(const char* name, char* buffer, int capacity);
int32_t tagNumber(const char* name);
bool tagNumberChecked(const char* name, int32_t* out);
int32_t tagNumberOrPercent(const char* name, int32_t base);
int tagNumberList(const char* name, int32_t* out, int max);
bool tagBool(const char* name, bool defaultValue);
int tagKeyword(const char* name, const char* keywordList);
bool tagCode(const char* name, uint32_t* out);
int tagCodeList(const char* name, uint32_t* out, int max);

struct DateTime {
    int16_t year = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t hour = 0;
    int16_t minute = 0;
    int16_t second = 0;
};
// Fields not given keep the caller's values.
bool tagDateTime(const char* dateName, const char* timeName, DateTime* out);

int commandIndex();
bool isFirstCommand();

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
