#include "core/function_table.h"

#include "core/tag_functions.h"
#include "core/version.h"
#include "files/file_functions.h"
#include "files/file_ops.h"
#include "image/image_info.h"
#include "interact/calc_functions.h"
#include "interact/message_boxes.h"
#include "interact/pick_color.h"
#include "interact/progress_display.h"

namespace korvane {
namespace {

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
    /* 14 */ {"KUtl-OpenFileDialog", unimplementedHandler},
    /* 15 */ {"KUtl-OpenFolderDialog", unimplementedHandler},
    /* 16 */ {"KUtl-SaveFileDialog", unimplementedHandler},
    /* 17 */ {"KUtl-FindFile", unimplementedHandler, nullptr, nullptr, kNoStateFindFile},
    /* 18 */ {"KUtl-VolumeCount", volumeCountHandler},
    /* 19 */ {"KUtl-GetVolume", getVolumeHandler},
    /* 20 */ {"KUtl-FolderItemCount", folderItemCountHandler},
    /* 21 */ {"KUtl-GetFolderItem", getFolderItemHandler},
    /* 22 */ {"KUtl-FileInfo", fileInfoHandler},
    /* 23 */ {"KUtl-SetFileInfo", setFileInfoHandler},
    /* 24 */ {"KUtl-CopyFile", copyFileHandler},
    /* 25 */ {"KUtl-MoveFile", moveFileHandler},
    /* 26 */ {"KUtl-NewFolder", newFolderHandler},
    /* 27 */ {"KUtl-DeleteFile", deleteFileHandler},
    /* 28 */ {"KUtl-EjectVolume", unimplementedHandler},
    /* 29 */ {"KUtl-LaunchApp", unimplementedHandler},
    /* 30 */ {"KUtl-QuitApp", unimplementedHandler},
    /* 31 */ {"KUtl-PickColor", pickColorHandler},
    /* 32 */ {"KUtl-CalcColor", calcColorHandler},
    /* 33 */ {"KUtl-CalcPoint", calcPointHandler},
    /* 34 */ {"KUtl-CalcRect", calcRectHandler},
    /* 35 */ {"KUtl-OpenProgress", openProgressHandler, nullptr, nullptr, kNoStateOpenProgress},
    /* 36 */ {"KUtl-UpdateProgress", updateProgressHandler, nullptr, nullptr, kNoStateUpdateProgress},
    /* 37 */ {"KUtl-CloseProgress", closeProgressHandler, nullptr, nullptr, kNoStateCloseProgress},
    /* 38 */ {"KUtl-Answer", answerHandler},
    /* 39 */ {"KUtl-Ask", askHandler},
};

}  // namespace

const FunctionEntry* functionTable() {
    return kFunctions;
}

}  // namespace korvane
