#include "image/image_source.h"

#include <cstring>

#include "core/args.h"
#include "core/result_text.h"
#include "image/picture_header.h"
#include "platform/media/clipboard_picture.h"
#include "platform/media/media.h"
#include "platform/media/web_source.h"

namespace korvane {

namespace {

constexpr char kClipboardSource[] = "clipboard:";
constexpr const char* kWebSchemes[] = {"http:", "https:", "ftp:"};

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

Status openPicture(ImageSource& source) {
    Status status = addPictureHeader(source.pictureData);
    if (status == kNoErr) {
        status = source.importer.openMemory(source.pictureData.data.get(), source.pictureData.size);
    }
    if (status != kNoErr) {
        closeImage(source);
    }
    return status;
}

Status openWebAddress(ImageSource& source, const char* address) {
    media::OwnedBytes download;
    if (Status status = media::downloadUrl(address, media::kMaxDownloadBytes, download); status != kNoErr) {
        return status;
    }
    return source.importer.openBytes(std::move(download));
}

Status openFile(ImageSource& source, const char* text) {
    FileRef file;
    if (Status status = resolvePath(text, &file); status != kNoErr) {
        return status;
    }
    return source.importer.openFile(file.path);
}

Status openNamedSource(const Call& call, ImageSource& source) {
    const Arguments& args = call.args();
    const char* text = args.tagValue("SRC");
    if (!text) {
        text = args.tagValue("PATH");
    }
    if (!text) {
        return kParamErr;
    }
    switch (classifySource(text, source.platformIsVersion4)) {
        case SourceKind::kClipboard:
            if (Status status = media::readClipboardPicture(call.documentWindow, source.pictureData);
                status != kNoErr) {
                return status;
            }
            source.fromClipboard = true;
            return openPicture(source);
        case SourceKind::kWebAddress:
            return openWebAddress(source, text);
        case SourceKind::kFile:
            break;
    }
    return openFile(source, text);
}

}  // namespace

SourceKind classifySource(const char* text, bool webAddresses) {
    if (compareNoCase(text, kClipboardSource) == 0) {
        return SourceKind::kClipboard;
    }
    if (webAddresses) {
        for (const char* scheme : kWebSchemes) {
            if (startsWith(text, scheme)) {
                return SourceKind::kWebAddress;
            }
        }
    }
    return SourceKind::kFile;
}

Status loadImage(const Call& call, ImageSource& source, media::OwnedBytes* givenPicture) {
    closeImage(source);
    source.platformIsVersion4 = mediaVersionWord() >= kMediaVersionWebSources;
    Status status = kNoErr;
    if (givenPicture) {
        source.pictureData = std::move(*givenPicture);
        status = openPicture(source);
    } else {
        status = openNamedSource(call, source);
    }
    if (status != kNoErr) {
        closeImage(source);
        return status;
    }
    if (source.platformIsVersion4 && !givenPicture) {
        const int32_t page = call.args().tagNumber("PAGE");
        if (page > 1) {
            (void)source.importer.setImageIndex(page);  // a page beyond the last keeps the first
        }
    }
    return kNoErr;
}

void closeImage(ImageSource& source) {
    source.importer.close();
    source.pictureData.reset();
    source.fromClipboard = false;
}

Status loadFileAsPicture(const FileRef& file, media::OwnedBytes& picture) {
    media::Importer importer;
    if (Status status = importer.openFile(file.path); status != kNoErr) {
        return status;
    }
    return importer.asPicture(picture);
}

}  // namespace korvane
