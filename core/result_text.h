#pragma once
// Building result texts: KEY=value items written in the language the parameter
// reader reads back. A WorkingText is a bounded, always-terminated byte buffer;
// appends past its capacity are cut, never written past the end.

#include <cstddef>
#include <cstdint>

#include "core/status.h"

namespace korvane {

// Longest result text a handler builds (lengths are 16-bit signed in the result rules).
inline constexpr size_t kMaxResultText = 32767;
// Escaped values and length-prefixed texts hold at most this many characters.
inline constexpr size_t kMaxShortText = 255;

class WorkingText {
  public:
    WorkingText(char* storage, size_t capacity);  // capacity counts the terminator
    const char* c_str() const { return data_; }
    size_t length() const { return length_; }
    size_t capacity() const { return capacity_ - 1; }
    bool truncated() const { return truncated_; }
    void clear();
    void append(const char* bytes, size_t count);

  private:
    char* data_;
    size_t capacity_;
    size_t length_ = 0;
    bool truncated_ = false;
};

// A WorkingText with its own storage.
template <size_t Capacity>
class LocalText : public WorkingText {
  public:
    LocalText() : WorkingText(storage_, Capacity + 1) {}

  private:
    char storage_[Capacity + 1];
};

void textSet(WorkingText& dst, const char* src);
void textAppend(WorkingText& dst, const char* src);
void textAppendChars(WorkingText& dst, char c, int count);
void textSetNumber(WorkingText& dst, int32_t n);
void textAppendNumber(WorkingText& dst, int32_t n);
// A negative base converts signed in |base|; a positive base converts n as unsigned.
// Digits are 0-9A-F; a base whose magnitude lies outside 2..16 appends nothing.
void textAppendNumberBase(WorkingText& dst, int32_t n, int base);
void textAppendBool(WorkingText& dst, bool b);
// Appends a four-character code, most significant byte first: a space as \s, a quote,
// apostrophe or backslash after a backslash. Zero bytes are left out.
void textAppendCode(WorkingText& dst, uint32_t code);
// Values between apostrophes, as the parameter reader reads them back: tab, LF and CR
// become \t, \n, \r; a backslash, apostrophe or double quote gets a backslash in front;
// second bytes of double-byte characters stay as they are.

// The longest escaped text of a whole value: a value of 255 bytes, every byte escaped, and more.
inline constexpr size_t kMaxEscapedText = 2 * 256 - 1;

// Appends KEY='escaped value' (the apostrophes are added here): the value is cut to
// 255 characters, then escaped as escapeText does.
void textAppendQuoted(WorkingText& dst, const char* key, const char* value);
// Appends KEY='escaped value' with the whole value escaped; nothing between the
// apostrophes when the escaped value would exceed kMaxEscapedText.
void textAppendQuotedWhole(WorkingText& dst, const char* key, const char* value);
// Appends KEY='text' for a text already escaped.
void textAppendEscapedItem(WorkingText& dst, const char* key, const char* escaped);

// Escapes a text in place. `text` must hold 256 bytes; the result holds at most 255
// characters: when escaping would need more, the first characters stay as they are.
void escapeText(char* text);

// Escapes the whole of `text` into `out` (capacity counts the terminator): false, and
// `out` empty, when it does not fit.
bool escapeWholeText(const char* text, char* out, size_t capacity);

int compareNoCase(const char* a, const char* b);

}  // namespace korvane
