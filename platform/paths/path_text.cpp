#include "platform/paths/path_text.h"

#include <cstring>
#include <string_view>

#include "core/args.h"
#include "core/result_text.h"
#include "core/shift_jis.h"

namespace korvane {
namespace {

constexpr char kSeparator = '\\';
constexpr char kColon = ':';
constexpr char kAtSign = '@';
constexpr size_t kNoPosition = static_cast<size_t>(-1);

// Where the separators of a path text stand, second bytes skipped.
struct PathScan {
    int colons = 0;
    int backslashes = 0;
    size_t colon[3] = {kNoPosition, kNoPosition, kNoPosition};
    size_t firstAt = kNoPosition;
    size_t firstBackslash = kNoPosition;
};

PathScan scanPath(const char* text) {
    PathScan scan;
    ShiftJisScan bytes;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (bytes.next(text[i]) != ShiftJisScan::Byte::kSingle) {
            continue;
        }
        if (c == kColon) {
            if (scan.colons < 3) {
                scan.colon[scan.colons] = i;
            }
            ++scan.colons;
        } else if (c == kAtSign) {
            if (scan.firstAt == kNoPosition) {
                scan.firstAt = i;
            }
        } else if (c == kSeparator) {
            if (scan.firstBackslash == kNoPosition) {
                scan.firstBackslash = i;
            }
            ++scan.backslashes;
        }
    }
    return scan;
}

bool isNetworkScan(const PathScan& scan) {
    return scan.colons >= 2 && scan.colon[1] == scan.colon[0] + 1;
}

// A bounded builder: every append checks the room left; once something did not
// fit, the builder stays failed and its text is never used.
class PathBuilder {
  public:
    PathBuilder(char* out, size_t capacity) : out_(out), capacity_(capacity) {
        if (capacity_ == 0) {
            ok_ = false;
        } else {
            out_[0] = '\0';
        }
    }
    void append(std::string_view text) {
        if (!ok_ || text.size() >= capacity_ - length_) {
            ok_ = false;
            return;
        }
        std::memcpy(out_ + length_, text.data(), text.size());
        length_ += text.size();
        out_[length_] = '\0';
    }
    void append(char c) { append(std::string_view(&c, 1)); }
    // Appends `text` with every colon turned into a backslash.
    void appendColonsAsSeparators(std::string_view text) {
        for (char c : text) {
            append(c == kColon ? kSeparator : c);
        }
    }
    size_t length() const { return length_; }
    char last() const { return length_ == 0 ? '\0' : out_[length_ - 1]; }
    bool finish() {
        if (!ok_ && capacity_ > 0) {
            out_[0] = '\0';
        }
        return ok_;
    }

  private:
    char* out_;
    size_t capacity_;
    size_t length_ = 0;
    bool ok_ = true;
};

}  // namespace

PathForm classifyPathText(const char* text) {
    const PathScan scan = scanPath(text);
    if (isNetworkScan(scan)) {
        return PathForm::kNetwork;
    }
    if (scan.colons == 0) {
        return scan.backslashes == 0 ? PathForm::kBareName : PathForm::kWindows;
    }
    if (scan.colons == 1 && scan.colon[0] == 1 && scan.firstBackslash == 2) {
        return PathForm::kWindows;
    }
    return PathForm::kColon;
}

int lastSeparator(const char* text) {
    int last = -1;
    ShiftJisScan bytes;
    for (int i = 0; text[i] != '\0'; ++i) {
        if (bytes.next(text[i]) == ShiftJisScan::Byte::kSingle && text[i] == kSeparator) {
            last = i;
        }
    }
    return last;
}

bool isPlainItemName(const char* name) {
    if (name == nullptr || name[0] == '\0' || std::strlen(name) > kMaxItemNameLength) {
        return false;
    }
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
        return false;
    }
    bool trail = false;
    for (const char* c = name; *c != '\0'; ++c) {
        if (trail) {
            trail = false;
        } else if (isLeadByte(static_cast<unsigned char>(*c))) {
            trail = true;
        } else if (*c == '\\' || *c == '/' || *c == ':') {
            return false;
        }
    }
    return true;
}

void removeTrailingSeparator(char* text) {
    const size_t length = std::strlen(text);
    if (length > 0 && lastSeparator(text) == static_cast<int>(length - 1)) {
        text[length - 1] = '\0';
    }
}

const char* extensionOf(const char* name) {
    // A "." is never the second byte of a double-byte character.
    const char* dot = std::strrchr(name, '.');
    return dot == nullptr ? name + std::strlen(name) : dot + 1;
}

Status networkFormToNative(const char* text, char* out, size_t capacity) {
    const PathScan scan = scanPath(text);
    if (!isNetworkScan(scan)) {
        return kParamErr;
    }
    const std::string_view all(text);
    // The zone between an at sign and the first colon is not part of the name.
    const size_t serverEnd = scan.firstAt < scan.colon[0] ? scan.firstAt : scan.colon[0];
    const std::string_view server = all.substr(0, serverEnd);
    const size_t shareStart = scan.colon[1] + 1;
    const size_t shareEnd = scan.colon[2] == kNoPosition ? all.size() : scan.colon[2];
    const std::string_view share = all.substr(shareStart, shareEnd - shareStart);
    const std::string_view rest = shareEnd < all.size() ? all.substr(shareEnd + 1) : std::string_view();
    if (server.empty()) {
        return kParamErr;
    }
    PathBuilder path(out, capacity);
    path.append("\\\\");
    path.append(server);
    path.append(kSeparator);
    if (!share.empty()) {
        path.append(share);
        path.append(kSeparator);
    }
    path.appendColonsAsSeparators(rest);
    return path.finish() ? kNoErr : kParamErr;
}

Status colonFormToNative(const char* text, VolumeRootLookup lookup, char* out, size_t capacity) {
    const PathScan scan = scanPath(text);
    const size_t firstColon = scan.colon[0];
    if (firstColon == kNoPosition || firstColon == 0) {
        return kParamErr;
    }
    const std::string_view all(text);
    std::string_view rest = all.substr(firstColon + 1);
    PathBuilder path(out, capacity);
    if (firstColon == 1) {
        // A drive letter: the rest starts at the drive's root.
        path.append(all.substr(0, 2));
        path.append(kSeparator);
        if (!rest.empty() && rest.front() == kSeparator) {
            rest.remove_prefix(1);
        }
    } else {
        constexpr size_t kLabelCapacity = 256;
        if (firstColon >= kLabelCapacity) {
            return kParamErr;
        }
        char label[kLabelCapacity];
        std::memcpy(label, text, firstColon);
        label[firstColon] = '\0';
        char root[kLabelCapacity];
        if (lookup == nullptr || !lookup(label, root, sizeof root) || root[0] == '\0') {
            return kParamErr;
        }
        path.append(root);
        if (!rest.empty() && rest.front() == kSeparator) {
            rest.remove_prefix(1);
        }
        // A share root comes without its closing separator.
        if (!rest.empty() && lastSeparator(out) != static_cast<int>(path.length()) - 1) {
            path.append(kSeparator);
        }
    }
    path.appendColonsAsSeparators(rest);
    return path.finish() ? kNoErr : kParamErr;
}

bool completeDriveRoot(const char* text, char* out, size_t capacity) {
    const std::string_view all(text);
    PathBuilder path(out, capacity);
    if (all.size() >= 2 && all[1] == kColon && (all.size() == 2 || all[2] != kSeparator)) {
        path.append(all.substr(0, 2));
        path.append(kSeparator);
        path.append(all.substr(2));
    } else {
        path.append(all);
    }
    return path.finish();
}

NetworkVolume networkVolumeRoot(const char* name, char* out, size_t capacity) {
    const std::string_view all(name);
    const size_t doubleColon = all.find("::");
    const bool uncName = all.starts_with("\\\\");
    if (doubleColon == std::string_view::npos && !uncName) {
        return NetworkVolume::kNotNetwork;
    }
    if (all.size() + 1 > capacity) {
        return NetworkVolume::kTooLong;
    }
    PathBuilder root(out, capacity);
    if (doubleColon != std::string_view::npos && !uncName) {
        root.append("\\\\");
        root.append(all.substr(0, doubleColon));
        root.append(kSeparator);
        root.append(all.substr(doubleColon + 2));
    } else {
        root.append(all);
    }
    if (!root.finish()) {
        return NetworkVolume::kTooLong;
    }
    const size_t length = std::strlen(out);
    if (length > 0 && out[length - 1] == kColon) {
        out[length - 1] = '\0';
    }
    return NetworkVolume::kRoot;
}

bool nativeToNetworkForm(const char* path, char* out, size_t capacity) {
    const std::string_view all(path);
    PathBuilder result(out, capacity);
    if (!all.starts_with("\\\\")) {
        result.append(all);
        return result.finish();
    }
    bool afterServer = false;
    ShiftJisScan bytes;
    for (size_t i = 2; i < all.size(); ++i) {
        const char c = all[i];
        if (bytes.next(c) == ShiftJisScan::Byte::kSingle && c == kSeparator) {
            result.append(afterServer ? ":" : "::");
            afterServer = true;
        } else {
            result.append(c);
        }
    }
    return result.finish();
}

bool formatPathResult(const char* nativePath, char* out, size_t capacity) {
    char network[kPathResultCapacity];
    return nativeToNetworkForm(nativePath, network, sizeof network) && escapeWholeText(network, out, capacity);
}

}  // namespace korvane
