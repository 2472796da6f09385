#pragma once
// Copying, moving, creating and deleting files and folder trees: KUtl-CopyFile,
// KUtl-MoveFile, KUtl-NewFolder and KUtl-DeleteFile. None of them overwrites or
// merges: an existing target fails the step with the system's code and what existed
// before is left as it was. A walk stops at its first failing step; what was done
// before that stays done. They answer with a status only and set no result text.

#include "core/call.h"
#include "core/status.h"

namespace korvane {

enum class TransferOp { kCopy, kMove, kDelete };

// Copies or moves `source` (a file, or a folder with everything in it) to
// `destination`, or deletes it (`destination` is then ignored and may be null).
// When the destination is an existing folder, or ends in "\", the item keeps its
// name inside it; a file may also be given a new full name. A folder goes into an
// existing destination folder under its own name; a volume root's contents go
// straight in. Answers 0, the system's code of the failing step, kPathTooLong when
// a path would not fit, or kParamErr when the destination lies inside the source (by
// its text or, through links and mapped drives, by the folders' identities). A delete
// or move the system reports done while the item stays answers ERROR_ACCESS_DENIED.
Status transferTree(const char* source, const char* destination, TransferOp op);

// Copies, moves or deletes everything inside `sourceFolder` (ending in "\") into
// `destinationFolder` (ending in "\"; ignored for delete). Delete removes the
// emptied source folder as well. Sub-folders whose names begin with "." are left.
Status transferFolderContents(TransferOp op, const char* sourceFolder, const char* destinationFolder);

// Creates the folder `name` inside the existing folder `parent`.
Status createFolderIn(const char* parent, const char* name);
// Creates the folder `path`; the folder that is to hold it must exist.
Status createFolder(const char* path);

// The four functions on path texts in any accepted convention, without the command
// language: what the handlers do once they have their arguments.
Status transferPaths(const char* sourceText, const char* destinationText, TransferOp op);
Status deletePath(const char* pathText);
// `nameText` may be null: then `pathText` names the folder to create. A name with a separator,
// a drive or a relative step ("." or "..") is refused with kBadName.
Status newFolder(const char* pathText, const char* nameText);

// Handlers of KUtl-CopyFile, KUtl-MoveFile, KUtl-NewFolder and KUtl-DeleteFile.
Status copyFileHandler(Call& call);
Status moveFileHandler(Call& call);
Status newFolderHandler(Call& call);
Status deleteFileHandler(Call& call);

}  // namespace korvane
