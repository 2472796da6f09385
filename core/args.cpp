#include "core/args.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/ascii.h"
#include "core/result_text.h"

namespace korvane {
namespace {

// Both the positional list and the tag table start with room for this many entries and grow by
// half again (at least this many), so that a long text costs time close to its length.
constexpr int kListGrowth = 40;
// The tag index starts with this many slots (a power of two) and doubles when half full.
constexpr size_t kFirstIndexSlots = 64;
// Number lists are read from a copy of at most this many characters of the text.
constexpr size_t kNumberListCopy = 255;
constexpr int kCodeLength = 4;
constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;
constexpr int kPercent = 100;
// Two-digit years: below this one are 20xx, from it to 99 are 19xx.
constexpr int32_t kCenturyPivot = 70;
constexpr int32_t kTwoDigitYearLimit = 100;

// A list that starts with room for kListGrowth entries and grows by half again; push fails
// (instead of throwing) when memory runs out.
template <typename T>
class GrowList {
  public:
    GrowList() = default;
    GrowList(const GrowList&) = delete;
    GrowList& operator=(const GrowList&) = delete;
    ~GrowList() { release(); }

    bool push(const T& item) {
        if (count_ == capacity_) {
            const int growth = capacity_ / 2 > kListGrowth ? capacity_ / 2 : kListGrowth;
            if (capacity_ > kMaxEntries - growth) {
                return false;
            }
            int grown = capacity_ + growth;
            void* moved = std::realloc(items_, static_cast<size_t>(grown) * sizeof(T));
            if (moved == nullptr) {
                return false;
            }
            items_ = static_cast<T*>(moved);
            capacity_ = grown;
        }
        items_[count_++] = item;
        return true;
    }
    void clear() { count_ = 0; }
    void pop() { --count_; }
    void release() {
        std::free(items_);
        items_ = nullptr;
        count_ = 0;
        capacity_ = 0;
    }
    int count() const { return count_; }
    T& operator[](int index) { return items_[index]; }

  private:
    static constexpr int kMaxEntries = 1 << 28;
    T* items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};

struct Tag {
    const char* name;   // upper-cased copy in the tag-name area
    const char* value;  // into the text, or the name itself for a bare word
};

// FNV-1a over the upper-cased name, so that names differing in ASCII case meet.
uint32_t hashName(const char* name) {
    constexpr uint32_t kOffsetBasis = 2166136261u;
    constexpr uint32_t kPrime = 16777619u;
    uint32_t hash = kOffsetBasis;
    for (const char* p = name; *p != '\0'; ++p) {
        hash = (hash ^ static_cast<unsigned char>(toUpperAscii(*p))) * kPrime;
    }
    return hash;
}

// An open-addressing index over the tag table: each slot holds a tag's position + 1, or 0
// when free. Kept at most half full, so a lookup probes a few slots whatever the tag count.
class TagIndex {
  public:
    TagIndex() = default;
    TagIndex(const TagIndex&) = delete;
    TagIndex& operator=(const TagIndex&) = delete;
    ~TagIndex() { release(); }

    // The position of the tag whose name matches `name` (ASCII case ignored), or -1.
    template <typename NameAt>
    int find(const char* name, NameAt nameAt) const {
        if (slots_ == nullptr) {
            return -1;
        }
        for (size_t slot = hashName(name) & (slotCount_ - 1);; slot = (slot + 1) & (slotCount_ - 1)) {
            if (slots_[slot] == 0) {
                return -1;
            }
            const int position = slots_[slot] - 1;
            if (compareNoCase(nameAt(position), name) == 0) {
                return position;
            }
        }
    }

    // Adds the tag at `position`, named `name`. False when the index cannot grow.
    template <typename NameAt>
    bool insert(const char* name, int position, NameAt nameAt) {
        if ((static_cast<size_t>(used_) + 1) * 2 > slotCount_ && !grow(nameAt)) {
            return false;
        }
        place(name, position);
        ++used_;
        return true;
    }

    void clear() {
        if (slots_ != nullptr && used_ > 0) {
            std::memset(slots_, 0, slotCount_ * sizeof *slots_);
        }
        used_ = 0;
    }
    void release() {
        std::free(slots_);
        slots_ = nullptr;
        slotCount_ = 0;
        used_ = 0;
    }

  private:
    void place(const char* name, int position) {
        size_t slot = hashName(name) & (slotCount_ - 1);
        while (slots_[slot] != 0) {
            slot = (slot + 1) & (slotCount_ - 1);
        }
        slots_[slot] = position + 1;
    }

    template <typename NameAt>
    bool grow(NameAt nameAt) {
        const size_t grown = slotCount_ == 0 ? kFirstIndexSlots : slotCount_ * 2;
        auto* fresh = static_cast<int*>(std::calloc(grown, sizeof(int)));
        if (fresh == nullptr) {
            return false;
        }
        std::free(slots_);
        slots_ = fresh;
        slotCount_ = grown;
        for (int position = 0; position < used_; ++position) {
            place(nameAt(position), position);
        }
        return true;
    }

    int* slots_ = nullptr;
    size_t slotCount_ = 0;
    int used_ = 0;
};

}  // namespace

namespace detail {

// The parsed text of one call: the tokens and tags of the current command, and where the
// next command begins.
struct ParsedText {
    char* cursor = nullptr;  // where the next command begins
    char* nameArea = nullptr;
    char* nameWrite = nullptr;
    char* nameEnd = nullptr;  // one past the last byte of the name area
    GrowList<const char*> tokens;
    GrowList<Tag> tags;
    TagIndex tagIndex;
    int commandCounter = 0;
    bool outOfMemory = false;
};

}  // namespace detail

namespace {

using detail::ParsedText;

bool isWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isSeparator(char c) {
    return isWhitespace(c) || c == '|';
}

bool isQuote(char c) {
    return c == '\'' || c == '"';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isNameStart(char c) {
    return isAsciiLetter(c) || c == '_';
}

bool isNameChar(char c) {
    return isNameStart(c) || isDigit(c);
}

int hexDigitValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + kDecimalBase;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + kDecimalBase;
    }
    return -1;
}

template <typename Char>
Char* skipWhitespace(Char* p) {
    while (isWhitespace(*p)) {
        ++p;
    }
    return p;
}

char escapeResult(char letter) {
    switch (letter) {
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 's':
            return ' ';
        default:
            return letter;
    }
}

void clearArguments(ParsedText& parsed) {
    parsed.tokens.clear();
    parsed.tags.clear();
    parsed.tagIndex.clear();
    parsed.nameWrite = parsed.nameArea;
}

Tag* findTag(ParsedText& parsed, const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    const int position = parsed.tagIndex.find(name, [&parsed](int at) { return parsed.tags[at].name; });
    return position >= 0 ? &parsed.tags[position] : nullptr;
}

// Registers the token at `start` as a tag: with `value` for KEY=value, or as a bare word when
// `value` is null. Names that are not words leave the token positional only. False only when
// the table cannot grow.
bool registerTag(ParsedText& parsed, const char* start, const char* value) {
    if (!isNameStart(*start)) {
        return true;
    }
    char* copy = parsed.nameWrite;
    // The area always has room (it is as long as the text), but never trust that blindly.
    size_t room = static_cast<size_t>(parsed.nameEnd - copy);
    size_t length = 0;
    for (const char* p = start; *p != '\0' && *p != '=' && !isWhitespace(*p); ++p) {
        if (!isNameChar(*p) || length + 1 >= room) {
            return true;
        }
        copy[length++] = toUpperAscii(*p);
    }
    copy[length] = '\0';
    if (Tag* existing = findTag(parsed, copy)) {
        existing->value = (value != nullptr) ? value : existing->name;
        return true;
    }
    if (!parsed.tags.push(Tag{copy, (value != nullptr) ? value : copy})) {
        return false;
    }
    if (!parsed.tagIndex.insert(copy, parsed.tags.count() - 1, [&parsed](int at) { return parsed.tags[at].name; })) {
        parsed.tags.pop();
        return false;
    }
    parsed.nameWrite = copy + length + 1;
    return true;
}

// Cuts tokens in place. Characters are read at `read` and written back at `write`, which never
// runs ahead of it: removed quotes and escape backslashes simply close the gap.
class Tokenizer {
  public:
    Tokenizer(ParsedText& parsed, char* position) : parsed_(parsed), read_(position) {}

    // Parses one command; returns the position after it, or null when memory ran out.
    char* parseCommand() {
        read_ = skipWhitespace(read_);
        for (;;) {
            char* start = read_;
            bool seenEquals = false;
            if (!scanToken(start, &seenEquals)) {
                return nullptr;
            }
            char end = *read_;
            *write_ = '\0';
            if (end != '\0') {
                ++read_;  // step past the separator
            }
            if ((!seenEquals && !registerTag(parsed_, start, nullptr)) || !parsed_.tokens.push(start)) {
                return nullptr;
            }
            if (end == '\0' || end == '|') {
                return read_;
            }
            read_ = skipWhitespace(read_);
        }
    }

  private:
    // Scans one token up to (not past) its separator or the end of the text.
    bool scanToken(char* start, bool* seenEquals) {
        write_ = start;
        bytes_ = ShiftJisScan();
        bool mayQuote = true;
        for (char c = *read_; c != '\0' && !isSeparator(c); c = *read_) {
            if (mayQuote && isQuote(c)) {
                scanQuoted(c);
                mayQuote = false;
            } else if (c == '=' && !*seenEquals && !mayQuote && !bytes_.expectsSecondByte()) {
                put(c);
                ++read_;
                if (!registerTag(parsed_, start, write_)) {
                    return false;
                }
                *seenEquals = true;
                mayQuote = true;
            } else if (c == '\\' && !bytes_.expectsSecondByte()) {
                applyEscape();
                mayQuote = false;
            } else {
                put(c);
                ++read_;
                mayQuote = false;
            }
        }
        return true;
    }

    // At an opening quote: takes everything up to the matching quote (or the end of the text).
    void scanQuoted(char quote) {
        ++read_;
        for (char c = *read_; c != '\0'; c = *read_) {
            if (c == quote) {
                ++read_;
                return;
            }
            if (c == '\\' && !bytes_.expectsSecondByte()) {
                applyEscape();
            } else {
                put(c);
                ++read_;
            }
        }
    }

    // At a backslash: the next character gives the result. A backslash that is the last
    // character of the text is dropped, and reading stops at the terminator.
    void applyEscape() {
        char letter = read_[1];
        if (letter == '\0') {
            ++read_;
            return;
        }
        put(escapeResult(letter));
        read_ += 2;
    }

    // Writes one byte of the token and keeps track of double-byte characters: a byte that
    // follows a lead byte (which was not itself a second byte) is a second byte.
    void put(char c) {
        *write_++ = c;
        bytes_.next(c);
    }

    ParsedText& parsed_;
    char* read_;
    char* write_ = nullptr;
    ShiftJisScan bytes_;
};

bool parseCommandAtCursor(ParsedText& parsed) {
    char* next = Tokenizer(parsed, parsed.cursor).parseCommand();
    if (next == nullptr) {
        parsed.outOfMemory = true;
        return false;
    }
    parsed.cursor = next;
    return true;
}

// Reads decimal digits (none reads as 0) with 32-bit wrap-around.
uint32_t readDecimal(const char** p) {
    uint32_t value = 0;
    for (; isDigit(**p); ++*p) {
        value = value * kDecimalBase + static_cast<uint32_t>(**p - '0');
    }
    return value;
}

// Three numbers with one separator character between them, e.g. 2004/12/31 or 13:05:00.
bool parseTriple(const char* text, int32_t out[3]) {
    const char* p = skipWhitespace(text);
    out[0] = static_cast<int32_t>(readDecimal(&p));
    char separator = *p;
    if (separator == '\0') {
        return false;
    }
    p = skipWhitespace(p + 1);
    out[1] = static_cast<int32_t>(readDecimal(&p));
    if (*p != separator) {
        return false;
    }
    p = skipWhitespace(p + 1);
    out[2] = static_cast<int32_t>(readDecimal(&p));
    return *skipWhitespace(p) == '\0';
}

int32_t fullYear(int32_t year) {
    if (year >= 0 && year < kCenturyPivot) {
        return year + 2000;
    }
    if (year >= kCenturyPivot && year < kTwoDigitYearLimit) {
        return year + 1900;
    }
    return year;
}

}  // namespace

// ---- Parsing ----

Arguments::~Arguments() {
    end();
}

Status Arguments::start(char* text, char* tagNameArea) {
    end();
    if (text == nullptr || tagNameArea == nullptr) {
        return kParamErr;
    }
    parsed_ = new (std::nothrow) ParsedText;
    if (parsed_ == nullptr) {
        return kOutOfMemory;
    }
    parsed_->cursor = text;
    parsed_->nameArea = tagNameArea;
    parsed_->nameEnd = tagNameArea + std::strlen(text) + 1;
    parsed_->commandCounter = 1;
    clearArguments(*parsed_);
    return parseCommandAtCursor(*parsed_) ? kNoErr : kOutOfMemory;
}

bool Arguments::nextCommand() {
    if (parsed_ == nullptr || parsed_->outOfMemory) {
        return false;
    }
    if (*parsed_->cursor == '|') {
        ++parsed_->cursor;
        clearArguments(*parsed_);
    }
    parsed_->cursor = skipWhitespace(parsed_->cursor);
    if (*parsed_->cursor == '\0') {
        return false;
    }
    ++parsed_->commandCounter;
    return parseCommandAtCursor(*parsed_);
}

bool Arguments::hasTextAfterCurrentCommand() const {
    if (parsed_ == nullptr) {
        return false;
    }
    for (const char* p = parsed_->cursor; *p != '\0'; ++p) {
        if (!isSeparator(*p)) {
            return true;
        }
    }
    return false;
}

Status Arguments::status() const {
    return (parsed_ != nullptr && parsed_->outOfMemory) ? kOutOfMemory : kNoErr;
}

void Arguments::end() {
    delete parsed_;
    parsed_ = nullptr;
}

// ---- Positional access ----

const char* Arguments::argAt(int index) const {
    if (index < 1 || index > argCount()) {
        return nullptr;
    }
    return parsed_->tokens[index - 1];
}

bool Arguments::argNumber(int index, int32_t* out) const {
    const char* token = argAt(index);
    if (token == nullptr) {
        return false;
    }
    *out = parseInteger(token);
    return true;
}

int Arguments::argNumberList(int index, int32_t* out, int max) const {
    return parseNumberList(argAt(index), out, max);
}

int Arguments::argCount() const {
    return (parsed_ != nullptr) ? parsed_->tokens.count() : 0;
}

// ---- Tag access ----

int Arguments::tagCount() const {
    return (parsed_ != nullptr) ? parsed_->tags.count() : 0;
}

const char* Arguments::tagName(int index) const {
    if (index < 1 || index > tagCount()) {
        return nullptr;
    }
    return parsed_->tags[index - 1].name;
}

const char* Arguments::tagValue(const char* name) const {
    const Tag* tag = (parsed_ != nullptr) ? findTag(*parsed_, name) : nullptr;
    return (tag != nullptr) ? tag->value : nullptr;
}

bool Arguments::tagText(const char* name, char* buffer, int capacity) const {
    const char* value = tagValue(name);
    if (value == nullptr || buffer == nullptr || capacity < 0) {
        return false;
    }
    size_t limit = static_cast<size_t>(capacity) < kMaxShortText ? static_cast<size_t>(capacity) : kMaxShortText;
    size_t length = strnlen(value, limit);
    std::memcpy(buffer, value, length);
    buffer[length] = '\0';
    return true;
}

int32_t Arguments::tagNumber(const char* name) const {
    const char* value = tagValue(name);
    return (value != nullptr) ? parseInteger(value) : 0;
}

bool Arguments::tagNumberChecked(const char* name, int32_t* out) const {
    const char* value = tagValue(name);
    if (value == nullptr) {
        return false;
    }
    *out = parseInteger(value);
    return isNumberText(value);
}

int32_t Arguments::tagNumberOrPercent(const char* name, int32_t base) const {
    const char* value = tagValue(name);
    if (value == nullptr) {
        return 0;
    }
    int32_t n = parseInteger(value);
    size_t length = std::strlen(value);
    if (length == 0 || value[length - 1] != '%') {
        return n;
    }
    // 32-bit product with wrap-around, then a quotient truncated toward zero.
    int32_t product = static_cast<int32_t>(static_cast<uint32_t>(n) * static_cast<uint32_t>(base));
    return product / kPercent;
}

int Arguments::tagNumberList(const char* name, int32_t* out, int max) const {
    return parseNumberList(tagValue(name), out, max);
}

bool Arguments::tagBool(const char* name, bool defaultValue) const {
    const char* value = tagValue(name);
    return (value != nullptr) ? textToBool(value) : defaultValue;
}

int Arguments::tagKeyword(const char* name, const char* keywordList) const {
    const char* value = tagValue(name);
    return (value != nullptr) ? matchKeyword(keywordList, value) : 0;
}

bool Arguments::tagCode(const char* name, uint32_t* out) const {
    const char* value = tagValue(name);
    return value != nullptr && textToCode(value, out);
}

int Arguments::tagCodeList(const char* name, uint32_t* out, int max) const {
    const char* value = tagValue(name);
    if (max < 1 || value == nullptr || *value == '\0') {
        return 0;
    }
    return parseCodeList(value, out, max);
}

bool Arguments::tagDateTime(const char* dateName, const char* timeName, DateTime* out) const {
    const char* dateText = tagValue(dateName);
    const char* timeText = tagValue(timeName);
    if (dateText == nullptr && timeText == nullptr) {
        return false;
    }
    return parseDateTime(dateText, timeText, out);
}

int Arguments::commandIndex() const {
    return (parsed_ != nullptr) ? parsed_->commandCounter : 0;
}

bool Arguments::isFirstCommand() const {
    return commandIndex() == 1;
}

// ---- Shared text operations ----

int32_t parseInteger(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const char* p = skipWhitespace(text);
    bool negative = (*p == '-');
    if (negative) {
        ++p;
    }
    uint32_t value = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        for (p += 2; *p != '\0'; ++p) {
            int digit = hexDigitValue(*p);
            if (digit >= 0) {
                value = value * kHexBase + static_cast<uint32_t>(digit);
            }
        }
    } else if (*p != '#') {
        for (; *p != '\0'; ++p) {
            if (isDigit(*p)) {
                value = value * kDecimalBase + static_cast<uint32_t>(*p - '0');
            }
        }
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

bool isNumberText(const char* text) {
    if (text == nullptr) {
        return false;
    }
    const char* p = skipWhitespace(text);
    if (*p == '-' || *p == '+') {
        ++p;
    }
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        for (p += 2; hexDigitValue(*p) >= 0; ++p) {
        }
        return *p == '\0';
    }
    bool seenPoint = false;
    for (; *p != '\0'; ++p) {
        if (*p == '.' && !seenPoint) {
            seenPoint = true;
        } else if (!isDigit(*p)) {
            return false;
        }
    }
    return true;
}

int parseNumberList(const char* text, int32_t* out, int max) {
    if (max < 1 || text == nullptr || *text == '\0' || out == nullptr) {
        return 0;
    }
    char copy[kNumberListCopy + 1];
    size_t length = strnlen(text, kNumberListCopy);
    std::memcpy(copy, text, length);
    copy[length] = '\0';

    int count = 0;
    char* piece = copy;
    while (count < max) {
        char* comma = std::strchr(piece, ',');
        if (comma != nullptr) {
            *comma = '\0';
        }
        if (!isNumberText(piece)) {
            break;
        }
        out[count++] = parseInteger(piece);
        if (comma == nullptr) {
            break;
        }
        piece = comma + 1;
    }
    return count;
}

bool textToBool(const char* text) {
    return matchKeyword("FALSE,NO", (text != nullptr) ? text : "") == 0;
}

int matchKeyword(const char* keywordList, const char* text) {
    if (keywordList == nullptr || text == nullptr || *keywordList == '\0') {
        return 0;
    }
    int position = 1;
    for (const char* keyword = keywordList;; ++position) {
        // Compare from this keyword on; the text may run across commas into the following ones.
        const char* k = keyword;
        const char* t = text;
        while (*t != '\0' && toUpperAscii(*k) == toUpperAscii(*t)) {
            ++k;
            ++t;
        }
        if (*t == '\0' && (*k == '\0' || *k == ',')) {
            return position;
        }
        keyword = std::strchr(keyword, ',');
        if (keyword == nullptr) {
            return 0;
        }
        ++keyword;
    }
}

bool textToCode(const char* text, uint32_t* out) {
    if (text == nullptr) {
        return false;
    }
    size_t length = strnlen(text, kCodeLength + 1);
    if (length < 1 || length > kCodeLength) {
        return false;
    }
    uint32_t code = 0;
    for (size_t i = 0; i < kCodeLength; ++i) {
        unsigned char c = (i < length) ? static_cast<unsigned char>(text[i]) : ' ';
        code = (code << 8) | c;
    }
    *out = code;
    return true;
}

int parseCodeList(const char* text, uint32_t* out, int max) {
    if (text == nullptr || out == nullptr) {
        return 0;
    }
    int count = 0;
    const char* p = text;
    while (*p != '\0' && count < max) {
        if (*p == ',') {
            ++p;
        }
        uint32_t code = 0;
        int length = 0;
        for (; *p != '\0' && *p != ','; ++p, ++length) {
            if (length == kCodeLength) {
                return 0;
            }
            code = (code << 8) | static_cast<unsigned char>(*p);
        }
        for (; length < kCodeLength; ++length) {
            code = (code << 8) | static_cast<unsigned char>(' ');
        }
        out[count++] = code;
    }
    return count;
}

bool parseDateTime(const char* dateText, const char* timeText, DateTime* out) {
    if (out == nullptr) {
        return false;
    }
    int32_t date[3] = {};
    int32_t time[3] = {};
    if ((dateText != nullptr && !parseTriple(dateText, date)) ||
        (timeText != nullptr && !parseTriple(timeText, time))) {
        return false;
    }
    if (dateText != nullptr) {
        out->year = static_cast<int16_t>(fullYear(date[0]));
        out->month = static_cast<int16_t>(date[1]);
        out->day = static_cast<int16_t>(date[2]);
    }
    if (timeText != nullptr) {
        out->hour = static_cast<int16_t>(time[0]);
        out->minute = static_cast<int16_t>(time[1]);
        out->second = static_cast<int16_t>(time[2]);
    }
    return true;
}

}  // namespace korvane
