#include "module/function_table.h"

#include "core/tag_functions.h"
#include "files/file_functions.h"
#include "files/file_ops.h"
#include "image/compress_image.h"
#include "image/draw_functions.h"
#include "image/image_info.h"
#include "image/save_image.h"
#include "image/window_functions.h"
#include "interact/calc_functions.h"
#include "interact/message_boxes.h"
#include "interact/pick_color.h"
#include "interact/progress_display.h"
#include "module/plugin_state.h"
#include "module/version.h"
#include "platform/media/clipboard_picture.h"

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

// The kept listing holds its folder open for the change notification. A function that
// removes, renames or ejects lets it go first, so that nothing of ours keeps the folder
// (or the volume) from changing; the next walk lists afresh.
template <Handler handler>
Status releasingKeptListing(Call& call) {
    if (call.state != nullptr) {
        call.state->folderListing = files::KeptFolderListing{};
    }
    return handler(call);
}

Status checkArea(Call& call) {
    return checkAreaHandler(call, call.state != nullptr ? &call.state->windowReads : nullptr);
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

// Pictures the functions make for the clipboard (CalcColor's swatches) go there as bitmaps.
Status placeOnClipboard(Call& call, const uint8_t* picture, size_t size) {
    return media::putPictureOnClipboard(call.documentWindow, picture, size);
}

Status calcColor(Call& call) {
    return calcColorHandler(call, placeOnClipboard);
}

// Indexed by function number; the host learns the names from the module's string table.
constexpr FunctionEntry kFunctions[kFunctionCount] = {
    /* 0 */ {"KImg-Version", versionHandler},
    /* 1 */ {"KImg-DrawImage", drawImageHandler, drawImagePrepare, drawImageFinish},
    /* 2 */ {"KImg-GrabImage", composeHandler, composePrepare, grabImageFinish},
    /* 3 */ {"KImg-SaveImage", composeHandler, composePrepare, saveImageFinish},
    /* 4 */ {"KImg-ImageInfo", imageInfoHandler},
    /* 5 */ {"KImg-PreviewImage", previewImageHandler},
    /* 6 */ {"KImg-CompressImage", compressImageHandler},
    /* 7 */ {"KImg-CompressImageDialog", compressImageDialogHandler},
    /* 8 */ {"KImg-CheckArea", checkArea},
    /* 9 */ {"KImg-Effect", effectHandler},
    /* 10 */ {"KImg-GetMousePos", getMousePosHandler},
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
    /* 23 */ {"KUtl-SetFileInfo", releasingKeptListing<setFileInfoHandler>},
    /* 24 */ {"KUtl-CopyFile", copyFileHandler},
    /* 25 */ {"KUtl-MoveFile", releasingKeptListing<moveFileHandler>},
    /* 26 */ {"KUtl-NewFolder", newFolderHandler},
    /* 27 */ {"KUtl-DeleteFile", releasingKeptListing<deleteFileHandler>},
    /* 28 */ {"KUtl-EjectVolume", releasingKeptListing<ejectVolumeHandler>},
    /* 29 */ {"KUtl-LaunchApp", launchAppHandler},
    /* 30 */ {"KUtl-QuitApp", quitAppHandler},
    /* 31 */ {"KUtl-PickColor", pickColorHandler},
    /* 32 */ {"KUtl-CalcColor", calcColor},
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
