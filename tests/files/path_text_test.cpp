#include "platform/paths/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/result_text.h"
#include "core/shift_jis.h"

namespace korvane {
namespace {

// Shift-JIS characters whose second byte is a backslash code (0x5C) or an at sign (0x40).
const std::string kOmote = "\x95\x5C";    // 表
const std::string kSo = "\x83\x5C";       // ソ
const std::string kAtTrail = "\x81\x40";  // ideographic space

TEST(PathTextTest, ClassifiesEachConvention) {
    struct Row {
        std::string text;
        PathForm form;
    };
    const Row rows[] = {
        {"srv::share:a:b", PathForm::kNetwork},
        {"srv@zone::share", PathForm::kNetwork},
        {"srv::", PathForm::kNetwork},
        {"a.txt", PathForm::kBareName},
        {"", PathForm::kBareName},
        {"dir\\file", PathForm::kWindows},
        {"\\\\srv\\share\\f", PathForm::kWindows},
        {"C:\\dir\\f", PathForm::kWindows},
        {"C:", PathForm::kColon},
        {"C:dir:f", PathForm::kColon},
        {"Data:dir:f", PathForm::kColon},
        {"C:\\dir:f", PathForm::kColon},
        {"a:b::c", PathForm::kColon},
        {":x", PathForm::kColon},
        // A backslash code inside a double-byte character is not a separator.
        {kOmote + ".txt", PathForm::kBareName},
        {"C:" + kSo, PathForm::kColon},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i) + ": " + rows[i].text);
        EXPECT_EQ(classifyPathText(rows[i].text.c_str()), rows[i].form);
    }
}

TEST(PathTextTest, RewritesTheNetworkFormToNative) {
    struct Row {
        std::string text;
        Status status;
        std::string native;
    };
    const Row rows[] = {
        {"srv::share", kNoErr, "\\\\srv\\share\\"},
        {"srv::share:", kNoErr, "\\\\srv\\share\\"},
        {"srv::share:a:b", kNoErr, "\\\\srv\\share\\a\\b"},
        {"srv@zone::share:a:b", kNoErr, "\\\\srv\\share\\a\\b"},
        {"srv:::x", kNoErr, "\\\\srv\\x"},
        {"srv::" + kOmote + ":" + kSo + ".txt", kNoErr, "\\\\srv\\" + kOmote + "\\" + kSo + ".txt"},
        // An at sign that is a second byte does not start the zone.
        {"s" + kAtTrail + "x::share", kNoErr, "\\\\s" + kAtTrail + "x\\share\\"},
        {"@zone::share", kParamErr, ""},
        {"::share", kParamErr, ""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i) + ": " + rows[i].text);
        char out[256] = "sentinel";
        EXPECT_EQ(networkFormToNative(rows[i].text.c_str(), out, sizeof out), rows[i].status);
        if (rows[i].status == kNoErr) {
            EXPECT_EQ(std::string(out), rows[i].native);
        }
    }
}

bool fakeLookup(const char* label, char* out, size_t capacity) {
    const char* root = nullptr;
    if (std::strcmp(label, "Data") == 0) {
        root = "D:\\";
    } else if (std::strcmp(label, "Share") == 0) {
        root = "\\\\srv\\share";  // a share root comes without its separator
    }
    if (root == nullptr || std::strlen(root) >= capacity) {
        return false;
    }
    std::strcpy(out, root);
    return true;
}

TEST(PathTextTest, RewritesTheColonFormToNative) {
    struct Row {
        std::string text;
        Status status;
        std::string native;
    };
    const Row rows[] = {
        {"C:", kNoErr, "C:\\"},
        {"C:dir:file", kNoErr, "C:\\dir\\file"},
        {"C:\\dir:file", kNoErr, "C:\\dir\\file"},
        {"Data:Reports:x.txt", kNoErr, "D:\\Reports\\x.txt"},
        {"Data:", kNoErr, "D:\\"},
        {"Data:\\dir", kNoErr, "D:\\dir"},
        {"Share:dir:f", kNoErr, "\\\\srv\\share\\dir\\f"},
        {"Data:" + kOmote + ":" + kSo, kNoErr, "D:\\" + kOmote + "\\" + kSo},
        {"Nowhere:x", kParamErr, ""},
        {":x", kParamErr, ""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i) + ": " + rows[i].text);
        char out[256] = "sentinel";
        EXPECT_EQ(colonFormToNative(rows[i].text.c_str(), fakeLookup, out, sizeof out), rows[i].status);
        if (rows[i].status == kNoErr) {
            EXPECT_EQ(std::string(out), rows[i].native);
        }
    }
}

TEST(PathTextTest, RefusesResultsThatDoNotFit) {
    const std::string longRest(300, 'a');
    char out[256];
    EXPECT_EQ(networkFormToNative(("srv::share:" + longRest).c_str(), out, sizeof out), kParamErr);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(colonFormToNative(("C:" + longRest).c_str(), fakeLookup, out, sizeof out), kParamErr);
    EXPECT_EQ(colonFormToNative((longRest + ":x").c_str(), fakeLookup, out, sizeof out), kParamErr);
    EXPECT_FALSE(completeDriveRoot(longRest.c_str(), out, sizeof out));
    // Exactly 255 characters still fit.
    const std::string fits = "C:\\" + std::string(252, 'b');
    EXPECT_TRUE(completeDriveRoot(fits.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), fits);
}

TEST(PathTextTest, CompletesDriveRelativeTexts) {
    const std::pair<std::string, std::string> rows[] = {
        {"C:", "C:\\"}, {"C:dir", "C:\\dir"}, {"C:\\dir", "C:\\dir"}, {"dir", "dir"}, {"", ""},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        char out[256];
        ASSERT_TRUE(completeDriveRoot(text.c_str(), out, sizeof out));
        EXPECT_EQ(std::string(out), expected);
    }
}

TEST(PathTextTest, TurnsNetworkVolumeNamesIntoRoots) {
    struct Row {
        std::string name;
        NetworkVolume kind;
        std::string root;
    };
    const Row rows[] = {
        {"srv::share", NetworkVolume::kRoot, "\\\\srv\\share"},
        {"srv::share:", NetworkVolume::kRoot, "\\\\srv\\share"},
        {"\\\\srv\\share", NetworkVolume::kRoot, "\\\\srv\\share"},
        {"\\\\srv\\share:", NetworkVolume::kRoot, "\\\\srv\\share"},
        {"DATA", NetworkVolume::kNotNetwork, ""},
        {std::string(300, 's') + "::x", NetworkVolume::kTooLong, ""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        char out[256] = "";
        EXPECT_EQ(networkVolumeRoot(rows[i].name.c_str(), out, sizeof out), rows[i].kind);
        if (rows[i].kind == NetworkVolume::kRoot) {
            EXPECT_EQ(std::string(out), rows[i].root);
        }
    }
}

TEST(PathTextTest, FormatsPathResults) {
    const std::pair<std::string, std::string> rows[] = {
        {"C:\\a\\b.txt", "C:\\\\a\\\\b.txt"},
        {"\\\\srv\\share\\a.txt", "srv::share:a.txt"},
        {"\\\\srv\\share\\dir\\f.txt", "srv::share:dir:f.txt"},
        {"\\\\srv\\share\\", "srv::share:"},
        {"C:\\It's", "C:\\\\It\\'s"},
        // Second bytes 0x5C are neither separators nor escaped.
        {"C:\\" + kOmote + "\\" + kSo + ".txt", "C:\\\\" + kOmote + "\\\\" + kSo + ".txt"},
        {"\\\\srv\\" + kOmote + "\\" + kSo, "srv::" + kOmote + ":" + kSo},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        char out[kPathResultCapacity];
        ASSERT_TRUE(formatPathResult(rows[i].first.c_str(), out, sizeof out));
        EXPECT_EQ(std::string(out), rows[i].second);
    }
}

TEST(PathTextTest, EscapesLongPathsWhole) {
    // 255 bytes with 127 separators: every separator is escaped, nothing is cut.
    std::string path = "C:";
    while (path.size() + 2 <= 255) {
        path += "\\a";
    }
    path.resize(255, 'a');
    char out[kPathResultCapacity];
    ASSERT_TRUE(formatPathResult(path.c_str(), out, sizeof out));
    std::string expected;
    for (char c : path) {
        expected += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    EXPECT_EQ(std::string(out), expected);
    char small[8];
    EXPECT_FALSE(escapeWholeText("a\\b\\c\\d", small, sizeof small));
    EXPECT_STREQ(small, "");
}

TEST(PathTextTest, FindsSeparatorsAndExtensions) {
    EXPECT_EQ(lastSeparator("C:\\dir\\f"), 6);
    EXPECT_EQ(lastSeparator(("C:\\" + kOmote).c_str()), 2);
    EXPECT_EQ(lastSeparator("name"), -1);

    const std::pair<std::string, std::string> trimmed[] = {
        {"C:\\dir\\", "C:\\dir"}, {"C:\\dir", "C:\\dir"}, {"C:\\" + kOmote, "C:\\" + kOmote}, {"", ""}};
    for (const auto& [text, expected] : trimmed) {
        std::string copy = text;
        removeTrailingSeparator(copy.data());
        EXPECT_EQ(std::string(copy.c_str()), expected);
    }
    EXPECT_STREQ(extensionOf("archive.tar.gz"), "gz");
    EXPECT_STREQ(extensionOf("README"), "");
    EXPECT_STREQ(extensionOf("dot."), "");
    EXPECT_TRUE(isSecondByteAt(kOmote.c_str(), 1));
    EXPECT_FALSE(isSecondByteAt(kOmote.c_str(), 0));
    EXPECT_FALSE(isSecondByteAt("\\\\", 1));
}

}  // namespace
}  // namespace korvane
