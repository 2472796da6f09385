#include "files/find_criteria.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace korvane::files {
namespace {

TEST(FindCriteriaTest, PatternOfNameAndExtension) {
    struct Row {
        const char* name;
        const char* extension;
        const char* pattern;
    };
    const Row rows[] = {
        {"report", nullptr, "report.*"},
        {"report", "", "report.*"},
        {nullptr, "jpg", "*.jpg"},
        {"", ".jpg", "*.jpg"},
        {"a?c", "t*", "a?c.t*"},
        {"", "", "*.*"},
        {"x", ".", "x.*"},  // a lone "." is no extension
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name ? row.name : "(null)") + " / " + (row.extension ? row.extension : "(null)"));
        char pattern[kSearchPatternCapacity];
        ASSERT_TRUE(makeSearchPattern(row.name, row.extension, pattern, sizeof pattern));
        EXPECT_STREQ(pattern, row.pattern);
    }
}

TEST(FindCriteriaTest, LongestCriteriaFitAndAnyMoreIsRefusedUntouched) {
    const std::string longest(kMaxCriterionLength, 'n');
    char pattern[kSearchPatternCapacity];
    ASSERT_TRUE(makeSearchPattern(longest.c_str(), longest.c_str(), pattern, sizeof pattern));
    EXPECT_EQ(std::strlen(pattern), 2 * kMaxCriterionLength + 1);

    char small[8];
    std::memset(small, '#', sizeof small);
    EXPECT_FALSE(makeSearchPattern("abcd", "efg", small, sizeof small));  // 8 characters and the terminator
    EXPECT_EQ(small[0], '#');
    EXPECT_TRUE(makeSearchPattern("abc", "efg", small, sizeof small));
    EXPECT_STREQ(small, "abc.efg");
}

// Volume labels of a machine with DATA on D: and a share.
bool lookUp(const char* name, char* out, size_t capacity) {
    const char* root = nullptr;
    if (std::strcmp(name, "DATA") == 0) {
        root = "D:\\";
    } else if (std::strcmp(name, "srv::share") == 0) {
        root = "\\\\srv\\share";
    } else if (std::strcmp(name, "long") == 0) {
        root = "\\\\a-server-with-a-long-name\\and-a-long-share\\";
    }
    if (root == nullptr || std::strlen(root) >= capacity) {
        return false;
    }
    std::strcpy(out, root);
    return true;
}

TEST(FindCriteriaTest, VolumeRoots) {
    struct Row {
        const char* volume;
        const char* root;  // null: no such volume
    };
    const Row rows[] = {
        {"C", "C:"},
        {"c:", "c:"},
        {"E:\\", "E:"},
        {"DATA", "D:"},
        {"DATA:", "D:"},
        {"srv::share", "\\\\srv\\share"},
        {"srv::share:", "\\\\srv\\share"},
        {"long", "\\\\a-server-with-a-long-name\\and-a-long-share"},
        {"NOSUCH", nullptr},
        {"", nullptr},
        {"1", nullptr},  // not a drive letter, and no such label
        {"C:dir", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.volume);
        char root[64] = "untouched";
        const bool found = volumeSearchRoot(row.volume, lookUp, root, sizeof root);
        EXPECT_EQ(found, row.root != nullptr);
        if (row.root != nullptr) {
            EXPECT_STREQ(root, row.root);
        }
    }
    char tiny[8];
    EXPECT_FALSE(volumeSearchRoot("srv::share", lookUp, tiny, sizeof tiny));
    const std::string overLong(kMaxVolumeNameLength + 1, 'v');
    EXPECT_FALSE(volumeSearchRoot(overLong.c_str(), lookUp, tiny, sizeof tiny));
}

TEST(FindCriteriaTest, EnteredAndAnsweredNames) {
    EXPECT_FALSE(isAnswerableName("."));
    EXPECT_FALSE(isAnswerableName(".."));
    EXPECT_TRUE(isAnswerableName("..."));
    EXPECT_TRUE(isAnswerableName(".plain"));
    EXPECT_FALSE(isEnteredFolderName("."));
    EXPECT_FALSE(isEnteredFolderName(".plain"));
    EXPECT_TRUE(isEnteredFolderName("plain."));
}

TEST(FindCriteriaTest, JoinedPathsAreBounded) {
    char path[11];
    EXPECT_TRUE(joinSearchPath("C:", "a.txt", path, sizeof path));
    EXPECT_STREQ(path, "C:\\a.txt");
    EXPECT_TRUE(joinSearchPath("C:\\d", "a.txt", path, sizeof path));  // 10 characters and the terminator
    EXPECT_FALSE(joinSearchPath("C:\\dd", "a.txt", path, sizeof path));
    EXPECT_STREQ(path, "C:\\d\\a.txt");
}

}  // namespace
}  // namespace korvane::files
