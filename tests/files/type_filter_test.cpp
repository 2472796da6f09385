#include "files/type_filter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/paths/file_types.h"

namespace korvane::files {
namespace {

const std::string kCustom = "\x83\x4a\x83\x58\x83\x5e\x83\x80(*";  // カスタム(*

// A registry that describes .gif, .jpg and .png only.
bool describe(const char* extension, char* out, size_t capacity) {
    const char* description = nullptr;
    if (std::strcmp(extension, ".gif") == 0) {
        description = "GIF Image";
    } else if (std::strcmp(extension, ".jpg") == 0) {
        description = "JPEG Image";
    } else if (std::strcmp(extension, ".png") == 0) {
        description = "";  // registered, but empty: not a description
    }
    if (description == nullptr || std::strlen(description) >= capacity) {
        return false;
    }
    std::strcpy(out, description);
    return description[0] != '\0';
}

// A registry whose every description is as long as the registry allows.
bool describeLong(const char*, char* out, size_t capacity) {
    const std::string description(kTypeLabelCapacity - 1, 'D');
    if (description.size() >= capacity) {
        return false;
    }
    std::strcpy(out, description.c_str());
    return true;
}

// The pair list as "label|patterns|...", checking that it is closed by two NULs.
std::string pairs(const char* list, size_t used) {
    EXPECT_GE(used, 2u);
    EXPECT_EQ(list[used - 1], '\0');
    EXPECT_EQ(list[used - 2], '\0');
    std::string text;
    for (size_t i = 0; i + 1 < used; ++i) {
        text += list[i] == '\0' ? '|' : list[i];
    }
    return text;
}

std::string filterFor(const TypeFilterRequest& request, size_t capacity = kOpenFilterCapacity) {
    std::vector<char> list(capacity, '#');
    const size_t used = buildTypeFilter(request, describe, list.data(), capacity);
    EXPECT_LE(used, capacity);
    return used == 0 ? "<none>" : pairs(list.data(), used);
}

TEST(TypeFilterTest, EntriesFollowTheArguments) {
    const uint32_t types[] = {fourCharCode("JPEG"), fourCharCode("TIFF"), fourCharCode("XXXX"), fourCharCode("PICS"),
                              fourCharCode("GIFf")};
    struct Row {
        const char* name;
        TypeFilterRequest request;
        std::string list;
    };
    const Row rows[] = {
        {"show all wins", {true, "jpg", types, 2}, "All Files|*.*|"},
        {"extensions", {false, "jpg,.png", nullptr, 0}, "JPEG Image|*.jpg|" + kCustom + ".png)|*.png|All Files|*.*|"},
        {"extensions before types",
         {false, " tif , ,gif", types, 2},
         kCustom + ".tif)|*.tif|GIF Image|*.gif|All Files|*.*|"},
        {"types",
         {false, nullptr, types, 5},
         "JPEG Image|*.jpg;*.jpeg|tif|*.tif;*.tiff|GIF Image|*.gif|All Files|*.*|"},
        {"empty extension list", {false, "", types, 1}, "JPEG Image|*.jpg;*.jpeg|All Files|*.*|"},
        {"default image types", {}, "GIF Image|*.gif|JPEG Image|*.jpg;*.jpeg;*.jfif;*.jpe|All Files|*.*|"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(filterFor(row.request), row.list);
    }
}

TEST(TypeFilterTest, LabelsOfUnregisteredAndEmptyExtensions) {
    char label[kTypeLabelCapacity];
    EXPECT_TRUE(typeLabel(".gif", describe, label, sizeof label));
    EXPECT_STREQ(label, "GIF Image");
    EXPECT_FALSE(typeLabel(".png", describe, label, sizeof label));
    EXPECT_EQ(std::string(label), kCustom + ".png)");
    EXPECT_FALSE(typeLabel("", describe, label, sizeof label));
    EXPECT_EQ(std::string(label), kCustom);
    char small[12];
    EXPECT_FALSE(typeLabel(".png", describe, small, sizeof small));  // 15 bytes do not fit
    EXPECT_STREQ(small, "");
}

TEST(TypeFilterTest, EntriesThatWouldOverflowAreLeftOutAndAllFilesStays) {
    // Forty long extensions: far more than either list holds.
    std::string extensions;
    for (int i = 0; i < kMaxFilterTypes; ++i) {
        extensions += (i > 0 ? "," : "") + std::string(60, static_cast<char>('a' + i % 26));
    }
    for (const size_t capacity : {kOpenFilterCapacity, kSaveFilterCapacity}) {
        SCOPED_TRACE(capacity);
        std::vector<char> list(capacity + 16, '#');
        const size_t used = buildTypeFilter({false, extensions.c_str(), nullptr, 0}, describe, list.data(), capacity);
        ASSERT_GT(used, 0u);
        EXPECT_LE(used, capacity);
        EXPECT_EQ(list[capacity], '#');  // nothing written past the capacity
        const std::string text = pairs(list.data(), used);
        EXPECT_EQ(text.substr(text.size() - 14), "All Files|*.*|");
    }
    // Registered descriptions of 260 bytes for every type.
    const uint32_t types[] = {fourCharCode("JPEG"), fourCharCode("TIFF"), fourCharCode("GIF "), fourCharCode("PNG ")};
    std::vector<char> list(kOpenFilterCapacity, '#');
    const size_t used = buildTypeFilter({false, nullptr, types, 4}, describeLong, list.data(), list.size());
    ASSERT_GT(used, 0u);
    EXPECT_EQ(pairs(list.data(), used).substr(0, 261), std::string(260, 'D') + "|");
    // Not even All Files fits: nothing at all.
    char tiny[14];
    EXPECT_EQ(buildTypeFilter({true, nullptr, nullptr, 0}, describe, tiny, sizeof tiny), 0u);
    char exact[15];
    EXPECT_EQ(buildTypeFilter({true, nullptr, nullptr, 0}, describe, exact, sizeof exact), 15u);
}

}  // namespace
}  // namespace korvane::files
