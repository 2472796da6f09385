#include "image/export_type.h"

#include <cstring>

#include "core/args.h"
#include "platform/paths/file_types.h"
#include "platform/paths/path_text.h"

namespace korvane {

namespace {

// The six lists in their order, each keyword with its type.
struct ExtensionList {
    const char* keywords;
    const uint32_t* types;  // one per keyword
};

constexpr uint32_t kPict = fourCharCode("PICT");
constexpr uint32_t kQtif = fourCharCode("qtif");
constexpr uint32_t kBmp = fourCharCode("BMPf");
constexpr uint32_t kJpeg = fourCharCode("JPEG");
constexpr uint32_t kPhotoshop = fourCharCode("8BPS");

constexpr uint32_t kStillTypes[] = {kPict,
                                    kPict,
                                    kPict,
                                    kQtif,
                                    kQtif,
                                    kQtif,
                                    kBmp,
                                    kBmp,
                                    kJpeg,
                                    fourCharCode("GIFf"),
                                    fourCharCode("TIFF"),
                                    fourCharCode("TIFF"),
                                    fourCharCode("PNGf"),
                                    fourCharCode("TPIC"),
                                    fourCharCode(".SGI"),
                                    fourCharCode(".SGI")};
constexpr uint32_t kMpeg = fourCharCode("MPEG");
constexpr uint32_t kMpegTypes[] = {kMpeg, kMpeg, kMpeg, kMpeg, kMpeg, kMpeg, kMpeg, kMpeg, kMpeg, kMpeg, kMpeg, kMpeg};
constexpr uint32_t kMovieTypes[] = {fourCharCode("dvc!"), fourCharCode("dvc!"), fourCharCode("MooV"),
                                    fourCharCode("MooV"), fourCharCode("VfW ")};
constexpr uint32_t kMediaTypes[] = {
    fourCharCode("TEXT"), fourCharCode("TEXT"), fourCharCode("ULAW"), fourCharCode("ULAW"), fourCharCode("AIFF"),
    fourCharCode("AIFF"), fourCharCode("AIFC"), fourCharCode("3DMF"), fourCharCode("3DMF"), fourCharCode("3DMF"),
    fourCharCode("3DMF"), fourCharCode("FLC "), fourCharCode("FLC "), fourCharCode("SWFL"), fourCharCode("FPix")};
constexpr uint32_t kSoundTypes[] = {fourCharCode("Midi"), fourCharCode("Midi"), fourCharCode("Midi"),
                                    fourCharCode("Midi"), fourCharCode("WAVE"), fourCharCode("Sd2f"),
                                    fourCharCode("sfil"), fourCharCode("Mp3 "), fourCharCode("Mp3 ")};
constexpr uint32_t kDocumentTypes[] = {
    fourCharCode("EPSF"), fourCharCode("FMP5"), fourCharCode("PDF "), fourCharCode("W8BN"), fourCharCode("SLD8"),
    fourCharCode("XLS8"), kPhotoshop,           fourCharCode("PNTG"), fourCharCode("PNTG"), fourCharCode("PNTG")};

constexpr ExtensionList kExtensionLists[] = {
    {"pict,pic,pct,qtif,qif,qti,bmp,dib,jpg,gif,tif,tiff,png,tga,sgi,rgb", kStillTypes},
    {"mpeg,m1s,m15,m1a,m1v,m64,m75,mp2,mpa,mpg,mpm,mpv", kMpegTypes},
    {"dif,dv,mov,qt,avi", kMovieTypes},
    {"txt,sdp,au,ulw,aif,aiff,aifc,3dmf,3dm,qd3d,qd3,flc,fli,swf,fpx", kMediaTypes},
    {"mifi,mid,smf,kar,wav,sd2,snd,mp3,swa", kSoundTypes},
    {"eps,fp5,pdf,doc,ppt,xls,psd,pntg,pnt,mac", kDocumentTypes},
};

constexpr const char* kFileTypeNames = "PICT,Picture,QTIF,QuickTimeImage,BMP,Bitmap,JPEG,JFIF,Photoshop,PCT";
constexpr uint32_t kFileTypeNameTypes[] = {kPict, kPict, kQtif, kQtif, kBmp, kBmp, kJpeg, kJpeg, kPhotoshop, kPict};

// What the export dialog offers: the types we write as still images, with the names a user
// knows them by.
struct ExportDialogType {
    uint32_t fileType;
    const char* name;
};
constexpr ExportDialogType kExportDialogTypes[] = {
    {kPict, "PICT"},
    {kQtif, "QuickTime Image"},
    {kBmp, "BMP"},
    {kJpeg, "JPEG"},
    {fourCharCode("GIFf"), "GIF"},
    {fourCharCode("TIFF"), "TIFF"},
    {fourCharCode("PNGf"), "PNG"},
    {fourCharCode("TPIC"), "TGA"},
    {fourCharCode(".SGI"), "SGI"},
    {kPhotoshop, "Photoshop"},
    {fourCharCode("PNTG"), "MacPaint"},
};
constexpr int kExportDialogTypeCount = sizeof kExportDialogTypes / sizeof kExportDialogTypes[0];

// Appends `count` bytes to `out` at `used`; false when they (and a final terminator) would
// not fit.
bool appendBytes(char* out, size_t capacity, size_t& used, const char* bytes, size_t count) {
    if (count >= capacity - used) {
        return false;
    }
    std::memcpy(out + used, bytes, count);
    used += count;
    return true;
}

bool appendTerminated(char* out, size_t capacity, size_t& used, const char* text) {
    return appendBytes(out, capacity, used, text, std::strlen(text) + 1);
}

// Where the file name of a path starts: after its last separator.
size_t fileNameStart(const char* path) {
    const int separator = lastSeparator(path);
    return separator < 0 ? 0 : static_cast<size_t>(separator) + 1;
}

}  // namespace

uint32_t fileTypeForExtension(const char* extension) {
    for (const ExtensionList& list : kExtensionLists) {
        const int position = matchKeyword(list.keywords, extension);
        if (position > 0) {
            return list.types[position - 1];
        }
    }
    return 0;
}

uint32_t fileTypeForName(const char* text) {
    const int position = matchKeyword(kFileTypeNames, text);
    if (position > 0) {
        return kFileTypeNameTypes[position - 1];
    }
    uint32_t code = 0;
    return textToCode(text, &code) ? code : 0;
}

uint32_t exportFileType(const char* extension, const char* fileTypeText) {
    if (extension != nullptr) {
        return fileTypeForExtension(extension);
    }
    return fileTypeText != nullptr ? fileTypeForName(fileTypeText) : 0;
}

int exportDialogTypeCount() {
    return kExportDialogTypeCount;
}

uint32_t exportDialogType(int index) {
    return index >= 0 && index < kExportDialogTypeCount ? kExportDialogTypes[index].fileType : 0;
}

int exportDialogTypeIndex(uint32_t fileType) {
    for (int i = 0; i < kExportDialogTypeCount; ++i) {
        if (kExportDialogTypes[i].fileType == fileType) {
            return i;
        }
    }
    return -1;
}

size_t buildExportFilter(char* out, size_t capacity) {
    if (out == nullptr || capacity == 0) {
        return 0;
    }
    size_t used = 0;
    for (const ExportDialogType& type : kExportDialogTypes) {
        FileType known;
        if (!typeExtension(type.fileType, &known)) {
            return 0;  // every offered type is in the table; a gap is a fault of ours
        }
        const char* name = type.name;
        if (!appendBytes(out, capacity, used, name, std::strlen(name)) || !appendBytes(out, capacity, used, " (", 2) ||
            !appendBytes(out, capacity, used, known.patterns, std::strlen(known.patterns)) ||
            !appendTerminated(out, capacity, used, ")") || !appendTerminated(out, capacity, used, known.patterns)) {
            return 0;
        }
    }
    out[used++] = '\0';  // appendBytes always leaves room for this one
    return used;
}

bool appendExtensionIfNone(char* path, size_t capacity, const char* extension) {
    if (std::strchr(path, '.') != nullptr || extension == nullptr || *extension == '\0') {
        return true;
    }
    const size_t length = std::strlen(path);
    const size_t added = 1 + std::strlen(extension);
    if (length + added + 1 > capacity) {
        return false;
    }
    path[length] = '.';
    std::memcpy(path + length + 1, extension, added);  // with its terminator
    return true;
}

bool replaceExtension(char* path, size_t capacity, const char* extension) {
    const size_t nameStart = fileNameStart(path);
    const char* dot = std::strrchr(path + nameStart, '.');
    if (dot == nullptr || extension == nullptr) {
        return true;
    }
    const size_t keep = static_cast<size_t>(dot - path) + 1;
    const size_t extensionLength = std::strlen(extension);
    if (keep + extensionLength + 1 > capacity) {
        return false;
    }
    std::memcpy(path + keep, extension, extensionLength + 1);
    return true;
}

}  // namespace korvane
