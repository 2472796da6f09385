#include "module/function_table.h"

#include "core/tag_functions.h"
#include "files/file_functions.h"
#include "files/file_ops.h"
#include "image/image_info.h"
#include "interact/calc_functions.h"
#include "interact/message_boxes.h"
#include "interact/pick_color.h"
#include "interact/progress_display.h"
#include "module/plugin_state.h"
#include "module/version.h"

namespace korvane {
namespace {

// The folder listing kept between calls, when there is a PluginState.
files::KeptFolderListing* keptListing(Call& call) {
    return call.state != nullptr ? &call.state->folderListing : nullptr;
}

Status folderItemCount(Call& call) {
    return folderItemCountHandler(call, keptListing(call));
}

Status getFolderItem(Call& call) {
    return getFolderItemHandler(call, keptListing(call));
}

Status fileInfo(Call& call) {
    return fileInfoHandler(call, keptListing(call));
}

Status findFile(Call& call) {
    return findFileHandler(call, call.state != nullptr ? &call.state->fileSearch : nullptr);
}

// The progress display kept between calls, when there is a PluginState.
ProgressDisplay* progressDisplay(Call& call) {
    return call.state != nullptr ? &call.state->progress : nullptr;
}

Status openProgress(Call& call) {
    return openProgressHandler(call, progressDisplay(call));
}

Status updateProgress(Call& call) {
    return updateProgressHandler(call, progressDisplay(call));
}

Status closeProgress(Call& call) {
    return closeProgressHandler(call, progressDisplay(call));
}

// Indexed by function number; the host learns the names from the module's string table.
constexpr FunctionEntry kFunctions[kFunctionCount] = {
    /* 0 */ {"KImg-Version", versionHandler},
    /* 1 */ {"KImg-DrawImage", unimplementedHandler},
    /* 2 */ {"KImg-GrabImage", unimplementedHandler},
    /* 3 */ {"KImg-SaveImage", unimplementedHandler},
    /* 4 */ {"KImg-ImageInfo", imageInfoHandler},
    /* 5 */ {"KImg-PreviewImage", unimplementedHandler},
    /* 6 */ {"KImg-CompressImage", unimplementedHandler},
    /* 7 */ {"KImg-CompressImageDialog", unimplementedHandler},
    /* 8 */ {"KImg-CheckArea", unimplementedHandler},
    /* 9 */ {"KImg-Effect", unimplementedHandler},
    /* 10 */ {"KImg-GetMousePos", unimplementedHandler},
    /* 11 */ {"KUtl-Version", versionHandler},
    /* 12 */ {"KUtl-Tag", tagHandler},
    /* 13 */ {"KUtl-TagList", tagListHandler},
    /* 14 */ {"KUtl-OpenFileDialog", openFileDialogHandler},
    /* 15 */ {"KUtl-OpenFolderDialog", openFolderDialogHandler},
    /* 16 */ {"KUtl-SaveFileDialog", saveFileDialogHandler},
    /* 17 */ {"KUtl-FindFile", findFile, nullptr, nullptr, kNoStateFindFile},
    /* 18 */ {"KUtl-VolumeCount", volumeCountHandler},
    /* 19 */ {"KUtl-GetVolume", getVolumeHandler},
    /* 20 */ {"KUtl-FolderItemCount", folderItemCount},
    /* 21 */ {"KUtl-GetFolderItem", getFolderItem},
    /* 22 */ {"KUtl-FileInfo", fileInfo},
    /* 23 */ {"KUtl-SetFileInfo", setFileInfoHandler},
    /* 24 */ {"KUtl-CopyFile", copyFileHandler},
    /* 25 */ {"KUtl-MoveFile", moveFileHandler},
    /* 26 */ {"KUtl-NewFolder", newFolderHandler},
    /* 27 */ {"KUtl-DeleteFile", deleteFileHandler},
    /* 28 */ {"KUtl-EjectVolume", unimplementedHandler},
    /* 29 */ {"KUtl-LaunchApp", launchAppHandler},
    /* 30 */ {"KUtl-QuitApp", quitAppHandler},
    /* 31 */ {"KUtl-PickColor", pickColorHandler},
    /* 32 */ {"KUtl-CalcColor", calcColorHandler},
    /* 33 */ {"KUtl-CalcPoint", calcPointHandler},
    /* 34 */ {"KUtl-CalcRect", calcRectHandler},
    /* 35 */ {"KUtl-OpenProgress", openProgress, nullptr, nullptr, kNoStateOpenProgress},
    /* 36 */ {"KUtl-UpdateProgress", updateProgress, nullptr, nullptr, kNoStateUpdateProgress},
    /* 37 */ {"KUtl-CloseProgress", closeProgress, nullptr, nullptr, kNoStateCloseProgress},
    /* 38 */ {"KUtl-Answer", answerHandler},
    /* 39 */ {"KUtl-Ask", askHandler},
};

}  // namespace

const FunctionEntry* functionTable() {
    return kFunctions;
}

}  // namespace korvane
