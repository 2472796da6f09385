#include "files/find_criteria.h"

#include <cstring>

#include "core/ascii.h"

namespace korvane::files {
namespace {

constexpr const char* kAnyPart = "*";
// A volume's root as the lookup writes it: a drive (D:\) or a share (\\srv\share).
constexpr size_t kRootCapacity = 256;

// "C", "C:" and "C:\" name drive C.
bool isDriveName(const char* name) {
    if (!isAsciiLetter(name[0])) {
        return false;
    }
    if (name[1] == '\0') {
        return true;
    }
    return name[1] == ':' && (name[2] == '\0' || (name[2] == '\\' && name[3] == '\0'));
}

bool copyText(const char* text, size_t length, char* out, size_t capacity) {
    if (length >= capacity) {
        return false;
    }
    std::memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

}  // namespace

bool makeSearchPattern(const char* name, const char* extension, char* out, size_t capacity) {
    const char* namePart = name != nullptr && name[0] != '\0' ? name : kAnyPart;
    if (extension != nullptr && extension[0] == '.') {
        ++extension;
    }
    const char* extensionPart = extension != nullptr && extension[0] != '\0' ? extension : kAnyPart;
    const size_t nameLength = std::strlen(namePart);
    const size_t extensionLength = std::strlen(extensionPart);
    if (nameLength + 1 + extensionLength >= capacity) {
        return false;
    }
    std::memcpy(out, namePart, nameLength);
    out[nameLength] = '.';
    std::memcpy(out + nameLength + 1, extensionPart, extensionLength + 1);
    return true;
}

bool volumeSearchRoot(const char* volume, VolumeRootLookup lookup, char* out, size_t capacity) {
    if (volume == nullptr || volume[0] == '\0' || capacity == 0) {
        return false;
    }
    if (isDriveName(volume)) {
        const char drive[] = {volume[0], ':'};
        return copyText(drive, sizeof drive, out, capacity);
    }
    char name[kMaxVolumeNameLength + 1];
    size_t length = strnlen(volume, sizeof name);
    if (length == sizeof name) {
        return false;
    }
    std::memcpy(name, volume, length + 1);
    if (length > 0 && name[length - 1] == ':') {
        name[--length] = '\0';
    }
    char root[kRootCapacity];
    if (lookup == nullptr || !lookup(name, root, sizeof root)) {
        return false;
    }
    removeTrailingSeparator(root);
    return copyText(root, std::strlen(root), out, capacity);
}

bool isEnteredFolderName(const char* name) {
    return name[0] != '.';
}

bool isAnswerableName(const char* name) {
    return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

bool joinSearchPath(const char* folder, const char* name, char* out, size_t capacity) {
    const size_t folderLength = std::strlen(folder);
    const size_t nameLength = std::strlen(name);
    if (folderLength + 1 + nameLength >= capacity) {
        return false;
    }
    std::memcpy(out, folder, folderLength);
    out[folderLength] = '\\';
    std::memcpy(out + folderLength + 1, name, nameLength + 1);
    return true;
}

}  // namespace korvane::files
