#include "platform/paths/file_types.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/args.h"

namespace korvane {
namespace {

struct TypeCase {
    const char* codeText;  // as a caller writes it: shorter texts are padded with blanks
    const char* extension;
    const char* patterns;
};

TEST(FileTypes, CodesAnswerTheirExtensionAndPatterns) {
    const TypeCase cases[] = {
        {".SGI", "sgi", "*.sgi;*.rgb"},
        {"JPEG", "jpg", "*.jpg;*.jpeg"},
        {"JFIF", "jpg", "*.jpg"},
        {"PNG", "png", "*.png"},  // padded to 'PNG '
        {"PNGf", "png", "*.png"},
        {"BMP", "bmp", "*.bmp;*.dib"},
        {"8BPS", "psd", "*.psd"},
        {"PICT", "pct", "*.pct;*.pict;*.pic"},
        {"TPIC", "tga", "*.tga"},
        {"qtif", "qtif", "*.qtif;*.qif;*.qti"},
        {"PNTG", "mac", "*.mac;*.pntg;*.pnt"},
        {"MPEG", "mpg", "*.mpg;*.mpeg;*.m1s;*.m15;*.m1a;*.m1v;*.m64;*.m75;*.mp2;*.mpa;*.mpm;*.mpv;*.mp3;*.swa"},
        {"MPGv", "mpg", "*.mpg;*.mpeg;*.m1s;*.m15;*.m1a;*.m1v;*.m64;*.m75;*.mp2;*.mpa;*.mpm;*.mpv"},
        {"dvc!", "dv", "*.dv;*.dif"},
        {"trak", "cda", "*.cda"},
        {"PICS", "", ""},  // known, but with neither extension nor patterns
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.codeText);
        uint32_t code = 0;
        ASSERT_TRUE(textToCode(c.codeText, &code));
        FileType type{};
        ASSERT_TRUE(typeExtension(code, &type));
        EXPECT_STREQ(type.extension, c.extension);
        EXPECT_STREQ(type.patterns, c.patterns);
    }
}

TEST(FileTypes, UnknownCodesAndOtherCasesAreNotFound) {
    for (const char* text : {"jpeg", "Jpeg", "GIFF", "tiff", "PNGF", "XXXX", "pict"}) {
        SCOPED_TRACE(text);
        uint32_t code = 0;
        ASSERT_TRUE(textToCode(text, &code));
        FileType type{"unchanged", "unchanged"};
        EXPECT_FALSE(typeExtension(code, &type));
        EXPECT_STREQ(type.extension, "unchanged");
    }
}

}  // namespace
}  // namespace korvane
