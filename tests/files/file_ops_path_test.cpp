#include "files/file_ops_path.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/files/sjis_names.h"

namespace korvane {
namespace {

using test::kHyou;
using test::kSo;

WalkPath pathOf(const std::string& text) {
    WalkPath path;
    EXPECT_TRUE(path.assign(text.c_str())) << text;
    return path;
}

TEST(WalkPathTest, AppendsUpToTheCapacityAndRefusesBeyondItUnchanged) {
    WalkPath path;
    std::string longest(kWalkPathCapacity - 1, 'a');
    EXPECT_TRUE(path.assign(longest.c_str()));
    EXPECT_EQ(path.length(), kWalkPathCapacity - 1);
    EXPECT_FALSE(path.append("b"));
    EXPECT_FALSE(path.appendSeparator());
    EXPECT_EQ(std::string(path.text()), longest);

    std::string tooLong(kWalkPathCapacity, 'a');
    ASSERT_TRUE(path.assign("C:\\x"));
    EXPECT_FALSE(path.assign(tooLong.c_str()));
    EXPECT_STREQ(path.text(), "C:\\x");

    std::string rest(kWalkPathCapacity - 4, 'b');  // one more than fits after C:\x
    EXPECT_FALSE(path.append(rest.c_str()));
    EXPECT_STREQ(path.text(), "C:\\x");
    EXPECT_TRUE(path.append(rest.c_str(), rest.size() - 1));
    EXPECT_EQ(path.length(), kWalkPathCapacity - 1);
}

TEST(WalkPathTest, TruncateAndSeparatorHandling) {
    WalkPath path = pathOf("C:\\dir");
    size_t mark = path.length();
    EXPECT_TRUE(path.appendSeparator());
    EXPECT_TRUE(path.appendSeparator());
    EXPECT_STREQ(path.text(), "C:\\dir\\");
    EXPECT_TRUE(path.append("name.txt"));
    path.truncate(mark);
    EXPECT_STREQ(path.text(), "C:\\dir");
    path.truncate(100);
    EXPECT_STREQ(path.text(), "C:\\dir");
    path = pathOf("C:\\dir\\");
    path.dropTrailingSeparator();
    EXPECT_STREQ(path.text(), "C:\\dir");
    path.dropTrailingSeparator();
    EXPECT_STREQ(path.text(), "C:\\dir");
}

TEST(WalkPathTest, SecondByteOfADoubleByteCharacterIsNoSeparator) {
    struct Row {
        std::string text;
        bool endsWithSeparator;
    };
    const Row rows[] = {
        {"C:\\", true},
        {"C:\\a", false},
        {std::string("C:\\") + kHyou, false},
        {std::string("C:\\") + kHyou + "\\", true},
        {std::string("C:\\") + kSo + kHyou, false},
        {std::string("C:\\a") + kSo, false},
        {"", false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        WalkPath path = pathOf(rows[i].text);
        EXPECT_EQ(path.endsWithSeparator(), rows[i].endsWithSeparator);
        size_t length = path.length();
        EXPECT_TRUE(path.appendSeparator());
        EXPECT_EQ(path.length(), rows[i].endsWithSeparator ? length : length + 1);
    }
}

TEST(WalkPathTest, LastElementOfFilesAndFoldersAndNoneForRoots) {
    struct Row {
        std::string text;
        std::string element;
    };
    const Row rows[] = {
        {"C:\\", ""},
        {"C:\\dir\\", "dir"},
        {"C:\\dir", "dir"},
        {"C:\\dir\\sub\\", "sub"},
        {"C:\\dir\\b.txt", "b.txt"},
        {"\\\\srv\\share\\", ""},
        {"\\\\srv\\share", ""},
        {"\\\\srv\\share\\dir\\", "dir"},
        {std::string("C:\\") + kHyou + "\\", kHyou},
        {std::string("C:\\a\\") + kSo + "x" + kHyou + ".txt", kSo + "x" + kHyou + ".txt"},
        {std::string("C:\\") + kHyou + "\\" + kSo, kSo},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        WalkPath path = pathOf(rows[i].text);
        size_t offset = 99;
        size_t length = 99;
        path.lastElement(&offset, &length);
        EXPECT_EQ(std::string(path.text() + offset, length), rows[i].element);
    }
}

TEST(WalkPathTest, ContainsComparesWholeElementsWithoutAsciiCase) {
    struct Row {
        std::string outer;
        std::string inner;
        bool contains;
    };
    const Row rows[] = {
        {"C:\\src\\", "C:\\src\\", true},
        {"C:\\src\\", "c:\\SRC\\sub\\", true},
        {"C:\\src\\", "C:\\src2\\", false},
        {"C:\\src\\", "C:\\", false},
        {"C:\\", "C:\\any\\", true},
        {"C:\\src\\", "D:\\src\\", false},
        // Second bytes compare exactly: 0x5C and 0x7C are not letters to fold.
        {std::string("C:\\") + kHyou + "\\", std::string("C:\\") + kHyou + "\\x\\", true},
        {std::string("C:\\\x95\x41\\"), std::string("C:\\\x95\x61\\"), false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pathOf(rows[i].outer).contains(pathOf(rows[i].inner)), rows[i].contains);
    }
}

}  // namespace
}  // namespace korvane
