#include "image/save_image.h"

#include "image/draw_functions.h"
#include "image/export_dialog.h"
#include "image/export_type.h"
#include "platform/media/exporter.h"
#include "platform/paths/file_types.h"
#include "platform/paths/path_text.h"
#include "platform/win32/replace_file.h"

namespace korvane {

Status readExportSettings(const Arguments& args, ExportSettings& out) {
    out = ExportSettings{};
    out.fileType = exportFileType(args.tagValue("EXTENSION"), args.tagValue("FILETYPE"));
    (void)args.tagCode("CREATOR", &out.creator);
    const char* destination = args.tagValue("DEST");
    if (destination == nullptr) {
        return kNoErr;
    }
    if (Status status = resolvePath(destination, &out.destination); status != kNoErr) {
        return status;
    }
    out.hasDestination = true;
    return kNoErr;
}

Status saveComposedImage(Call& call, const media::Bitmap& composed) {
    ExportSettings settings;
    if (Status status = readExportSettings(call.args(), settings); status != kNoErr) {
        return status;
    }
    // A type we cannot write fails before anyone is asked for a file.
    if (settings.fileType != 0 && !media::isStillImageType(settings.fileType)) {
        return media::kNoExporter;
    }
    if (!settings.complete()) {
        const FileRef* start = settings.hasDestination ? &settings.destination : nullptr;
        FileRef chosen;
        if (Status status = runExportDialog(call, start, settings.fileType, chosen, settings.fileType);
            status != kNoErr) {
            return status;
        }
        settings.destination = chosen;
        settings.hasDestination = true;
    }
    FileRef& destination = settings.destination;
    FileType type;
    if (typeExtension(settings.fileType, &type) &&
        !appendExtensionIfNone(destination.path, sizeof destination.path, type.extension)) {
        return kBadName;
    }
    media::ByteWriter file;
    if (Status status = media::encodeForExport(composed, settings.fileType, media::ExportOptions{}, file);
        status != kNoErr) {
        return status;
    }
    if (Status status = win32::replaceFileContents(destination.path, file.data(), file.size()); status != kNoErr) {
        return status;
    }
    char result[kPathResultCapacity];
    if (!formatPathResult(destination.path, result, sizeof result)) {
        return kBadName;
    }
    return call.setResult(result);
}

Status saveImageFinish(Status status, Call& call) {
    media::Bitmap composed;
    if (status = finishComposition(status, call, composed); status != kNoErr) {
        return status;
    }
    return saveComposedImage(call, composed);
}

}  // namespace korvane
