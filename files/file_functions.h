#pragma once
// The external functions of the file group that describe and walk volumes,
// folders and files.

#include "core/call.h"
#include "core/status.h"

namespace korvane {

Status volumeCountHandler(CallContext& context);      // KUtl-VolumeCount
Status getVolumeHandler(CallContext& context);        // KUtl-GetVolume
Status folderItemCountHandler(CallContext& context);  // KUtl-FolderItemCount
Status getFolderItemHandler(CallContext& context);    // KUtl-GetFolderItem
Status fileInfoHandler(CallContext& context);         // KUtl-FileInfo
Status setFileInfoHandler(CallContext& context);      // KUtl-SetFileInfo

}  // namespace korvane
