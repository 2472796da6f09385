#include "image/compress_image.h"

#include <windows.h>

#include <cstring>

#include "core/args.h"
#include "core/result_text.h"
#include "image/compression_dialog.h"
#include "image/export_type.h"
#include "platform/media/clipboard_picture.h"
#include "platform/media/compression.h"
#include "platform/media/exporter.h"
#include "platform/media/importer.h"
#include "platform/paths/file_types.h"
#include "platform/paths/path_text.h"
#include "platform/win32/replace_file.h"

namespace korvane {

namespace {

constexpr char kClipboardSource[] = "clipboard:";

// The image CompressImage works on: the clipboard's picture, or a file's image.
struct CompressSource {
    bool fromClipboard = true;
    char path[MAX_PATH] = {};  // the file's absolute path
    media::Bitmap pixels;
};

bool isClipboardText(const char* text) {
    return text == nullptr ||
           (std::strlen(text) == sizeof kClipboardSource - 1 && matchKeyword(kClipboardSource, text) == 1);
}

Status readSource(const Call& call, CompressSource& source) {
    const char* src = call.args().tagValue("SRC");
    source.fromClipboard = isClipboardText(src);
    if (source.fromClipboard) {
        media::OwnedBytes picture;
        if (Status status = media::readClipboardPicture(call.documentWindow, picture); status != kNoErr) {
            return status;
        }
        media::PictReadOptions options;
        options.decodeImageData = media::decodeImageDataWithSystem;
        return media::readPict(picture.data.get(), picture.size, options, source.pixels);
    }
    const DWORD length = GetFullPathNameA(src, MAX_PATH, source.path, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return kBadName;
    }
    media::Importer importer;
    if (Status status = importer.openFile(source.path); status != kNoErr) {
        return status;
    }
    return importer.decode(source.pixels);
}

// Defaults for the picture, then CODEC, QUALITY and DEPTH where given; -50 for values the
// settings cannot take.
Status readCompressionSettings(const Arguments& args,
                               const media::Bitmap& picture,
                               media::CompressionSettings& settings) {
    settings = media::defaultCompressionSettings(picture);
    uint32_t codec = 0;
    if (args.tagCode("CODEC", &codec)) {
        settings.codec = codec;
    }
    int32_t number = 0;
    if (args.tagNumberChecked("QUALITY", &number)) {
        settings.quality = number;
    }
    if (args.tagNumberChecked("DEPTH", &number)) {
        settings.depth = number;
    }
    return media::checkCompressionSettings(settings);
}

// Where the compressed file goes: the source's path with the type's extension in place of
// its own.
Status targetPathFor(const CompressSource& source, uint32_t fileType, char* target, size_t capacity) {
    const size_t length = strnlen(source.path, sizeof source.path);
    if (length + 1 > capacity) {
        return kBadName;
    }
    std::memcpy(target, source.path, length + 1);
    FileType type;
    if (typeExtension(fileType, &type) && type.extension[0] != '\0' &&
        !replaceExtension(target, capacity, type.extension)) {
        return kBadName;
    }
    return kNoErr;
}

// Writes the compressed image as the file, then removes the source when the name changed:
// the source stays until its replacement is complete.
Status writeCompressedFile(const CompressSource& source,
                           uint32_t fileType,
                           const media::CompressionSettings& settings,
                           const media::CompressedPicture& compressed) {
    char target[MAX_PATH];
    if (Status status = targetPathFor(source, fileType, target, sizeof target); status != kNoErr) {
        return status;
    }
    media::ExportOptions options;
    options.quality = settings.quality;
    options.jpeg = compressed.hasJpeg ? &compressed.jpeg : nullptr;
    media::ByteWriter file;
    if (Status status = media::encodeForExport(compressed.pixels, fileType, options, file); status != kNoErr) {
        return status;
    }
    if (Status status = win32::replaceFileContents(target, file.data(), file.size()); status != kNoErr) {
        return status;
    }
    if (lstrcmpiA(target, source.path) != 0 && !DeleteFileA(source.path)) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            return win32::mediaStatusForWriteError(error);
        }
    }
    return kNoErr;
}

}  // namespace

Status compressImageHandler(Call& call) {
    const Arguments& args = call.args();
    CompressSource source;
    if (Status status = readSource(call, source); status != kNoErr) {
        return status;
    }
    media::CompressionSettings settings;
    if (Status status = readCompressionSettings(args, source.pixels, settings); status != kNoErr) {
        return status;
    }
    // The type is known before anything is compressed or written: a type that is not a still
    // image fails with the source untouched.
    uint32_t fileType = exportFileType(args.tagValue("EXTENSION"), args.tagValue("FILETYPE"));
    if (fileType == 0) {
        fileType = media::kFileTypePict;
    }
    if (!source.fromClipboard && !media::isStillImageType(fileType)) {
        return media::kNoExporter;
    }
    media::CompressedPicture compressed;
    if (Status status = media::compressPicture(source.pixels, settings, compressed); status != kNoErr) {
        return status;
    }
    if (source.fromClipboard) {
        return media::putPictureOnClipboard(call.documentWindow, compressed.picture.data(), compressed.picture.size());
    }
    return writeCompressedFile(source, fileType, settings, compressed);
}

Status compressImageDialogHandler(Call& call) {
    CompressSource source;
    if (Status status = readSource(call, source); status != kNoErr) {
        return status;
    }
    media::CompressionSettings settings;
    if (Status status = readCompressionSettings(call.args(), source.pixels, settings); status != kNoErr) {
        return status;
    }
    if (Status status = runCompressionDialog(call, settings); status != kNoErr) {
        return status;
    }
    LocalText<kMaxShortText> text;
    textAppend(text, "CODEC=");
    textAppendCode(text, settings.codec);
    textAppend(text, " QUALITY=");
    textAppendNumber(text, settings.quality);
    textAppend(text, " DEPTH=");
    textAppendNumber(text, settings.depth);
    return call.setResult(text.c_str());
}

}  // namespace korvane
