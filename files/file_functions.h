#pragma once
// The external functions of the file group that describe and walk volumes,
// folders and files.

#include "core/call.h"
#include "core/status.h"
#include "files/file_search.h"
#include "files/folder_listing.h"

namespace korvane {

Status volumeCountHandler(Call& call);  // KUtl-VolumeCount
Status getVolumeHandler(Call& call);    // KUtl-GetVolume
// These three list folders through `kept`, the listing kept between calls (the module
// hands in its PluginState's; null: a fresh listing each time).
Status folderItemCountHandler(Call& call, files::KeptFolderListing* kept);  // KUtl-FolderItemCount
Status getFolderItemHandler(Call& call, files::KeptFolderListing* kept);    // KUtl-GetFolderItem
Status fileInfoHandler(Call& call, files::KeptFolderListing* kept);         // KUtl-FileInfo
Status setFileInfoHandler(Call& call);                                      // KUtl-SetFileInfo
Status ejectVolumeHandler(Call& call);                                      // KUtl-EjectVolume
Status launchAppHandler(Call& call);                                        // KUtl-LaunchApp
Status quitAppHandler(Call& call);                                          // KUtl-QuitApp
Status openFileDialogHandler(Call& call);                                   // KUtl-OpenFileDialog
Status saveFileDialogHandler(Call& call);                                   // KUtl-SaveFileDialog
Status openFolderDialogHandler(Call& call);                                 // KUtl-OpenFolderDialog
// Answers one match per call from `search`, the search kept between calls (PluginState's).
Status findFileHandler(Call& call, files::FileSearch* search);  // KUtl-FindFile

}  // namespace korvane
