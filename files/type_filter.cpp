#include "files/type_filter.h"

#include <cstring>
#include <initializer_list>

#include "platform/paths/file_types.h"

namespace korvane::files {
namespace {

// "カスタム(*" in Shift-JIS: the label of an extension without a registered description.
constexpr const char* kCustomLabelStart = "\x83\x4a\x83\x58\x83\x5e\x83\x80(*";
constexpr const char* kAllFilesLabel = "All Files";
constexpr const char* kAllFilesPatterns = "*.*";
// ".", an extension of up to 63 characters, and the terminator.
constexpr size_t kExtensionCapacity = 65;
// "*" and an extension.
constexpr size_t kPatternCapacity = kExtensionCapacity + 1;

// The image types offered when the dialog is given no types: each only when its
// extension has a registered description.
struct DefaultRow {
    const char* extension;
    const char* patterns;
};
constexpr DefaultRow kDefaultImageTypes[] = {
    {".dvc", "*.dvc"},
    {".pct", "*.pct;*.pic;*.pict"},
    {".gif", "*.gif"},
    {".png", "*.png"},
    {".TIFF", "*.TIFF"},
    {".psd", "*.psd"},
    {".SGI", "*.SGI"},
    {".bmp", "*.bmp;*.dib"},
    {".jpg", "*.jpg;*.jpeg;*.jfif;*.jpe"},
    {".mac", "*.mac"},
    {".TPIC", "*.TPIC"},
    {".qdgx", "*.qdgx"},
    {".qtif", "*.qti;*.qtif"},
    {".3DMF", "*.3DMF"},
    {".FLC", "*.FLC"},
    {".SPL", "*.SPL"},
    {".FPix", "*.FPix"},
};

// Appends pairs to a list, keeping room for the All Files pair and the closing NUL.
class PairWriter {
  public:
    PairWriter(char* out, size_t capacity) : out_(out), capacity_(capacity) {}

    // False (and nothing written) when the pair would not fit before All Files.
    bool add(const char* label, const char* patterns) { return put(label, patterns, allFilesSize()); }

    // All Files and the closing NUL; the bytes used, or 0 when they do not fit.
    size_t finish() {
        if (!put(kAllFilesLabel, kAllFilesPatterns, 1)) {
            return 0;
        }
        out_[used_++] = '\0';
        return used_;
    }

  private:
    static size_t pairSize(const char* label, const char* patterns) {
        return std::strlen(label) + 1 + std::strlen(patterns) + 1;
    }
    static size_t allFilesSize() { return pairSize(kAllFilesLabel, kAllFilesPatterns) + 1; }

    bool put(const char* label, const char* patterns, size_t reserve) {
        const size_t size = pairSize(label, patterns);
        if (size > capacity_ - used_ || reserve > capacity_ - used_ - size) {
            return false;
        }
        for (const char* text : {label, patterns}) {
            const size_t length = std::strlen(text);
            std::memcpy(out_ + used_, text, length + 1);
            used_ += length + 1;
        }
        return true;
    }

    char* out_;
    size_t capacity_;
    size_t used_ = 0;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// EXTENSION's items: each trimmed of blanks and given its leading "." ("jpg" -> ".jpg").
void addExtensionEntries(const char* list, TypeDescriptionLookup lookup, PairWriter& writer) {
    const char* item = list;
    while (*item != '\0') {
        const char* end = std::strchr(item, ',');
        if (end == nullptr) {
            end = item + std::strlen(item);
        }
        const char* first = item;
        const char* last = end;
        while (first < last && isBlank(*first)) {
            ++first;
        }
        while (last > first && isBlank(last[-1])) {
            --last;
        }
        if (first < last && *first == '.') {
            ++first;
        }
        const size_t length = static_cast<size_t>(last - first);
        if (length > 0 && length + 2 <= kExtensionCapacity) {
            char extension[kExtensionCapacity];
            extension[0] = '.';
            std::memcpy(extension + 1, first, length);
            extension[length + 1] = '\0';
            char label[kTypeLabelCapacity];
            typeLabel(extension, lookup, label, sizeof label);
            char pattern[kPatternCapacity];
            pattern[0] = '*';
            std::memcpy(pattern + 1, extension, length + 2);
            writer.add(label, pattern);
        }
        item = *end == ',' ? end + 1 : end;
    }
}

// FILETYPE's codes through the type table; codes not in it, or without an extension, are skipped.
void addFileTypeEntries(const uint32_t* codes, int count, TypeDescriptionLookup lookup, PairWriter& writer) {
    for (int i = 0; i < count && i < kMaxFilterTypes; ++i) {
        FileType type{};
        if (!typeExtension(codes[i], &type) || type.extension[0] == '\0' || type.patterns[0] == '\0') {
            continue;
        }
        const size_t length = std::strlen(type.extension);
        if (length + 2 > kExtensionCapacity) {
            continue;
        }
        char extension[kExtensionCapacity];
        extension[0] = '.';
        std::memcpy(extension + 1, type.extension, length + 1);
        char label[kTypeLabelCapacity];
        if (!typeLabel(extension, lookup, label, sizeof label)) {
            std::memcpy(label, type.extension, length + 1);
        }
        writer.add(label, type.patterns);
    }
}

void addDefaultEntries(TypeDescriptionLookup lookup, PairWriter& writer) {
    for (const DefaultRow& row : kDefaultImageTypes) {
        char label[kTypeLabelCapacity];
        if (lookup != nullptr && lookup(row.extension, label, sizeof label) && label[0] != '\0') {
            writer.add(label, row.patterns);
        }
    }
}

}  // namespace

bool typeLabel(const char* extension, TypeDescriptionLookup lookup, char* out, size_t capacity) {
    if (capacity == 0) {
        return false;
    }
    out[0] = '\0';
    if (extension[0] != '\0' && lookup != nullptr && lookup(extension, out, capacity) && out[0] != '\0') {
        return true;
    }
    const size_t startLength = std::strlen(kCustomLabelStart);
    const size_t extensionLength = std::strlen(extension);
    const size_t closeLength = extension[0] != '\0' ? 1 : 0;
    if (startLength + extensionLength + closeLength >= capacity) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, kCustomLabelStart, startLength);
    std::memcpy(out + startLength, extension, extensionLength);
    std::memcpy(out + startLength + extensionLength, ")", closeLength);
    out[startLength + extensionLength + closeLength] = '\0';
    return false;
}

size_t buildTypeFilter(const TypeFilterRequest& request, TypeDescriptionLookup lookup, char* out, size_t capacity) {
    PairWriter writer(out, capacity);
    if (request.showAll) {
        // Nothing before All Files.
    } else if (request.extensions != nullptr && request.extensions[0] != '\0') {
        addExtensionEntries(request.extensions, lookup, writer);
    } else if (request.types != nullptr && request.typeCount > 0) {
        addFileTypeEntries(request.types, request.typeCount, lookup, writer);
    } else {
        addDefaultEntries(lookup, writer);
    }
    return writer.finish();
}

}  // namespace korvane::files
