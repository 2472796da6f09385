// The type of an export from EXTENSION and FILETYPE, and the exported file's name.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/export_type.h"
#include "platform/paths/file_types.h"

namespace korvane {
namespace {

TEST(ExportType, FromExtensionAndFileType) {
    struct Row {
        const char* extension;  // null: absent
        const char* fileType;
        const char* expected;  // "" for unset
    };
    const Row rows[] = {
        {"png", "JPEG", "PNGf"},  // EXTENSION wins
        {"PCT", nullptr, "PICT"},
        {"qif", nullptr, "qtif"},
        {"dib", nullptr, "BMPf"},
        {"rgb", nullptr, ".SGI"},
        {"mpg", nullptr, "MPEG"},
        {"avi", nullptr, "VfW "},
        {"aifc", nullptr, "AIFC"},
        {"mp3", nullptr, "Mp3 "},
        {"psd", nullptr, "8BPS"},
        {"mac", nullptr, "PNTG"},
        {"xyz", "JPEG", ""},  // an extension in no list leaves the type unset
        {"", "JPEG", ""},
        {nullptr, "JPEG", "JPEG"},
        {nullptr, "jfif", "JPEG"},
        {nullptr, "Picture", "PICT"},
        {nullptr, "QuickTimeImage", "qtif"},
        {nullptr, "Bitmap", "BMPf"},
        {nullptr, "Photoshop", "8BPS"},
        {nullptr, "GIFf", "GIFf"},  // four letters taken as the type
        {nullptr, "TPIC", "TPIC"},
        {nullptr, "toolongname", ""},
        {nullptr, nullptr, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.extension ? row.extension : "-") + " / " + (row.fileType ? row.fileType : "-"));
        const uint32_t type = exportFileType(row.extension, row.fileType);
        const uint32_t expected = row.expected[0] == '\0' ? 0
                                                          : (uint32_t{static_cast<uint8_t>(row.expected[0])} << 24 |
                                                             uint32_t{static_cast<uint8_t>(row.expected[1])} << 16 |
                                                             uint32_t{static_cast<uint8_t>(row.expected[2])} << 8 |
                                                             static_cast<uint8_t>(row.expected[3]));
        EXPECT_EQ(type, expected);
    }
}

TEST(ExportType, ExtensionsOfTheStillImageTypes) {
    const std::pair<const char*, const char*> rows[] = {{"JPEG", "jpg"}, {"PICT", "pct"}, {".SGI", "sgi"}};
    for (const auto& [code, extension] : rows) {
        FileType type{};
        ASSERT_TRUE(typeExtension(fourCharCode(reinterpret_cast<const char(&)[5]>(*code)), &type)) << code;
        EXPECT_STREQ(type.extension, extension);
    }
}

TEST(ExportType, NamesOfTheExportedFile) {
    struct Row {
        const char* path;
        bool replace;  // replaceExtension, else appendExtensionIfNone
        const char* expected;
    };
    const Row rows[] = {
        {"C:\\pics\\photo", false, "C:\\pics\\photo.jpg"},
        {"C:\\pics\\photo.bmp", false, "C:\\pics\\photo.bmp"},
        {"C:\\pics.old\\photo", false, "C:\\pics.old\\photo"},  // a "." anywhere: nothing appended
        {"C:\\pics\\photo.bmp", true, "C:\\pics\\photo.jpg"},
        {"C:\\pics\\photo.tar.bmp", true, "C:\\pics\\photo.tar.jpg"},
        {"C:\\pics.old\\photo", true, "C:\\pics.old\\photo"},  // a folder's "." is never taken
        {"C:\\pics\\photo", true, "C:\\pics\\photo"},
        // The second byte of a double-byte character may be 0x5C: it is no separator.
        {"C:\\\x95\x5C.x\\\x83\x5C.bmp", true, "C:\\\x95\x5C.x\\\x83\x5C.jpg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        char path[64];
        std::strcpy(path, row.path);
        EXPECT_TRUE(row.replace ? replaceExtension(path, sizeof path, "jpg")
                                : appendExtensionIfNone(path, sizeof path, "jpg"));
        EXPECT_STREQ(path, row.expected);
    }
    char tight[8] = "C:\\a";
    EXPECT_FALSE(appendExtensionIfNone(tight, sizeof tight, "jpg"));
    EXPECT_STREQ(tight, "C:\\a") << "unchanged when it does not fit";
}

TEST(ExportType, TheExportDialogOffersEveryStillImageType) {
    ASSERT_EQ(exportDialogTypeCount(), 11);
    EXPECT_EQ(exportDialogType(0), fourCharCode("PICT")) << "the first type is the dialog's default";
    EXPECT_EQ(exportDialogType(-1), 0u);
    EXPECT_EQ(exportDialogType(11), 0u);
    // Each type comes back to its own place, whatever the types EXTENSION gives.
    for (const char* extension : {"pct", "qtif", "bmp", "jpg", "gif", "tif", "png", "tga", "sgi", "psd", "mac"}) {
        SCOPED_TRACE(extension);
        const uint32_t type = fileTypeForExtension(extension);
        const int index = exportDialogTypeIndex(type);
        ASSERT_GE(index, 0);
        EXPECT_EQ(exportDialogType(index), type);
    }
    EXPECT_EQ(exportDialogTypeIndex(fourCharCode("MooV")), -1);
    EXPECT_EQ(exportDialogTypeIndex(0), -1);
}

TEST(ExportType, TheExportFilterPairsNamesWithPatterns) {
    char filter[1024];
    const size_t used = buildExportFilter(filter, sizeof filter);
    ASSERT_GT(used, 0u);
    std::vector<std::string> parts;
    for (size_t at = 0; filter[at] != '\0'; at += parts.back().size() + 1) {
        parts.emplace_back(filter + at);
    }
    ASSERT_EQ(parts.size(), 22u);
    EXPECT_EQ(parts[0], "PICT (*.pct;*.pict;*.pic)");
    EXPECT_EQ(parts[1], "*.pct;*.pict;*.pic");
    EXPECT_EQ(parts[7], "*.jpg;*.jpeg");
    EXPECT_EQ(parts[20], "MacPaint (*.mac;*.pntg;*.pnt)");
    size_t length = 0;
    for (const std::string& part : parts) {
        length += part.size() + 1;
    }
    EXPECT_EQ(used, length + 1) << "one terminator after the last pair";
    // Too small by one byte, and no room at all: nothing usable.
    std::vector<char> tight(used - 1);
    EXPECT_EQ(buildExportFilter(tight.data(), tight.size()), 0u);
    EXPECT_EQ(buildExportFilter(filter, 0), 0u);
    EXPECT_EQ(buildExportFilter(filter, used), used);
}

}  // namespace
}  // namespace korvane
