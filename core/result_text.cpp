#include "core/result_text.h"

#include <cstring>

#include "core/args.h"
#include "core/ascii.h"
#include "core/shift_jis.h"

namespace korvane {
namespace {

constexpr int kDecimalSigned = -10;
constexpr int kMinBase = 2;
constexpr int kMaxBase = 16;
// Enough for 32 binary digits and a sign.
constexpr size_t kNumberDigits = 33;
constexpr char kDigits[] = "0123456789ABCDEF";
constexpr int kCodeBytes = 4;

// Storage for a WorkingText given no room at all: it stays an empty, terminated text.
char gEmptyStorage = '\0';

bool needsBackslash(char c) {
    return c == '"' || c == '\'' || c == '\\';
}

// The character written after a backslash for a single-byte character that is escaped
// between apostrophes (tab, LF and CR as t, n and r; a quote, apostrophe or backslash
// as itself), or 0 when the character stands as it is.
char escapeLetter(char c) {
    switch (c) {
        case '\t':
            return 't';
        case '\n':
            return 'n';
        case '\r':
            return 'r';
        default:
            return needsBackslash(c) ? c : '\0';
    }
}

void appendItem(WorkingText& dst, const char* key, const char* escaped) {
    textAppend(dst, key);
    textAppend(dst, "='");
    textAppend(dst, escaped);
    textAppend(dst, "'");
}

}  // namespace

WorkingText::WorkingText(char* storage, size_t capacity) : data_(storage), capacity_(capacity) {
    if (storage == nullptr || capacity == 0) {
        data_ = &gEmptyStorage;
        capacity_ = 1;
    }
    data_[0] = '\0';
}

void WorkingText::clear() {
    length_ = 0;
    truncated_ = false;
    data_[0] = '\0';
}

void WorkingText::append(const char* bytes, size_t count) {
    size_t room = capacity() - length_;
    if (count > room) {
        count = room;
        truncated_ = true;
    }
    if (count > 0) {
        std::memmove(data_ + length_, bytes, count);
        length_ += count;
    }
    data_[length_] = '\0';
}

void textSet(WorkingText& dst, const char* src) {
    if (src == dst.c_str()) {
        return;
    }
    dst.clear();
    textAppend(dst, src);
}

void textAppend(WorkingText& dst, const char* src) {
    if (src != nullptr) {
        dst.append(src, std::strlen(src));
    }
}

void textAppendChars(WorkingText& dst, char c, int count) {
    if (count <= 0) {
        return;
    }
    size_t wanted = static_cast<size_t>(count);
    size_t room = dst.capacity() - dst.length();
    for (size_t i = 0; i < wanted && i < room; ++i) {
        dst.append(&c, 1);
    }
    if (wanted > room) {
        dst.append(&c, 1);  // no room left: only marks the text as cut
    }
}

void textSetNumber(WorkingText& dst, int32_t n) {
    dst.clear();
    textAppendNumber(dst, n);
}

void textAppendNumber(WorkingText& dst, int32_t n) {
    textAppendNumberBase(dst, n, kDecimalSigned);
}

// Bases whose magnitude lies outside 2..16 append nothing.
void textAppendNumberBase(WorkingText& dst, int32_t n, int base) {
    bool isSigned = base < 0;
    int radix = isSigned ? -base : base;
    if (radix < kMinBase || radix > kMaxBase) {
        return;
    }
    uint32_t magnitude = static_cast<uint32_t>(n);
    bool negative = isSigned && n < 0;
    if (negative) {
        magnitude = 0u - magnitude;
    }
    char digits[kNumberDigits];
    size_t first = sizeof(digits);
    do {
        digits[--first] = kDigits[magnitude % static_cast<uint32_t>(radix)];
        magnitude /= static_cast<uint32_t>(radix);
    } while (magnitude != 0);
    if (negative) {
        digits[--first] = '-';
    }
    dst.append(digits + first, sizeof(digits) - first);
}

void textAppendBool(WorkingText& dst, bool b) {
    textAppend(dst, b ? "True" : "False");
}

// A zero byte cannot stand in a text, so it is left out rather than cutting the result short.
void textAppendCode(WorkingText& dst, uint32_t code) {
    for (int shift = (kCodeBytes - 1) * 8; shift >= 0; shift -= 8) {
        char c = static_cast<char>((code >> shift) & 0xFF);
        if (c == '\0') {
            continue;
        }
        if (c == ' ') {
            textAppend(dst, "\\s");
            continue;
        }
        if (needsBackslash(c)) {
            dst.append("\\", 1);
        }
        dst.append(&c, 1);
    }
}

void textAppendQuoted(WorkingText& dst, const char* key, const char* value) {
    char escaped[kMaxShortText + 1];
    size_t length = (value != nullptr) ? strnlen(value, kMaxShortText) : 0;
    if (length > 0) {
        std::memcpy(escaped, value, length);
    }
    escaped[length] = '\0';
    escapeText(escaped);
    appendItem(dst, key, escaped);
}

void textAppendQuotedWhole(WorkingText& dst, const char* key, const char* value) {
    char escaped[kMaxEscapedText + 1];
    if (value == nullptr || !escapeWholeText(value, escaped, sizeof escaped)) {
        escaped[0] = '\0';
    }
    appendItem(dst, key, escaped);
}

void textAppendEscapedItem(WorkingText& dst, const char* key, const char* escaped) {
    appendItem(dst, key, escaped);
}

bool escapeWholeText(const char* text, char* out, size_t capacity) {
    if (capacity == 0) {
        return false;
    }
    size_t length = 0;
    ShiftJisScan bytes;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        const char c = text[i];
        const char letter = bytes.next(c) == ShiftJisScan::Byte::kSingle ? escapeLetter(c) : '\0';
        if (length + (letter != '\0' ? 2 : 1) >= capacity) {
            out[0] = '\0';
            return false;
        }
        if (letter != '\0') {
            out[length++] = '\\';
            out[length++] = letter;
        } else {
            out[length++] = c;
        }
    }
    out[length] = '\0';
    return true;
}

void escapeText(char* text) {
    if (text == nullptr) {
        return;
    }
    size_t length = strnlen(text, kMaxShortText);
    text[length] = '\0';

    // Which bytes are second bytes of double-byte characters, from the first character on.
    // Insertions happen at or after the byte being looked at, so these flags stay true.
    bool secondByte[kMaxShortText] = {};
    ShiftJisScan bytes;
    for (size_t i = 0; i < length; ++i) {
        secondByte[i] = bytes.next(text[i]) == ShiftJisScan::Byte::kSecond;
    }

    // From the end to the start, so that each insertion moves only what is already escaped.
    for (size_t i = length; i-- > 0 && length < kMaxShortText;) {
        char c = text[i];
        if (secondByte[i]) {
            continue;
        }
        const char letter = escapeLetter(c);
        if (letter == '\0') {
            continue;
        }
        std::memmove(text + i + 1, text + i, length - i + 1);  // with the terminator
        text[i] = '\\';
        text[i + 1] = letter;
        ++length;
    }
}

int compareNoCase(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>((a != nullptr) ? a : "");
    const unsigned char* q = reinterpret_cast<const unsigned char*>((b != nullptr) ? b : "");
    auto fold = [](unsigned char c) { return static_cast<unsigned char>(toUpperAscii(static_cast<char>(c))); };
    for (; *p != '\0' && fold(*p) == fold(*q); ++p, ++q) {
    }
    if (fold(*p) == fold(*q)) {
        return 0;
    }
    return static_cast<int>(*p) - static_cast<int>(*q);
}

}  // namespace korvane
