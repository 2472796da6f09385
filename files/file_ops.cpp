// KUtl-CopyFile, KUtl-MoveFile, KUtl-NewFolder and KUtl-DeleteFile: arguments, path
// resolution and the statuses of the four functions; the tree walk does the work.

#include "files/file_ops.h"

#include "core/args.h"
#include "platform/paths/file_ref.h"
#include "platform/paths/path_text.h"

namespace korvane {
namespace {

// A path argument given with an empty value counts as absent: an empty text would
// resolve to the current folder, which the call never meant to touch.
const char* pathArgument(const Arguments& args, const char* name) {
    const char* value = args.tagValue(name);
    return (value != nullptr && value[0] != '\0') ? value : nullptr;
}

Status transferHandler(const Arguments& args, TransferOp op) {
    const char* source = pathArgument(args, "SRC");
    if (source == nullptr) {
        source = pathArgument(args, "PATH");
    }
    const char* destination = pathArgument(args, "DEST");
    if (source == nullptr || destination == nullptr) {
        return kParamErr;
    }
    return transferPaths(source, destination, op);
}

}  // namespace

Status transferPaths(const char* sourceText, const char* destinationText, TransferOp op) {
    FileRef source;
    Status status = resolveExistingPath(sourceText, &source);
    if (status != kNoErr) {
        return status;
    }
    FileRef destination;
    status = resolvePath(destinationText, &destination);
    if (status != kNoErr) {
        return status;
    }
    return transferTree(source.path, destination.path, op);
}

Status deletePath(const char* pathText) {
    FileRef item;
    Status status = resolveExistingPath(pathText, &item);
    if (status != kNoErr) {
        return status;
    }
    return transferTree(item.path, nullptr, TransferOp::kDelete);
}

Status newFolder(const char* pathText, const char* nameText) {
    FileRef ref;
    Status status = resolvePath(pathText, &ref);
    if (status != kNoErr) {
        return status;
    }
    if (nameText != nullptr) {
        // The new folder stays inside PATH: no separators, drives or relative steps.
        if (!isPlainItemName(nameText)) {
            return kBadName;
        }
        return ref.isFolder ? createFolderIn(ref.path, nameText) : kNotAFolder;
    }
    if (ref.exists) {
        return kDuplicateName;
    }
    return createFolder(ref.path);
}

Status copyFileHandler(Call& call) {
    return transferHandler(call.args(), TransferOp::kCopy);
}

Status moveFileHandler(Call& call) {
    return transferHandler(call.args(), TransferOp::kMove);
}

Status newFolderHandler(Call& call) {
    const Arguments& args = call.args();
    const char* path = pathArgument(args, "PATH");
    if (path == nullptr) {
        return kParamErr;
    }
    return newFolder(path, args.tagValue("NAME"));
}

Status deleteFileHandler(Call& call) {
    const Arguments& args = call.args();
    const char* path = pathArgument(args, "PATH");
    return path != nullptr ? deletePath(path) : kParamErr;
}

}  // namespace korvane
