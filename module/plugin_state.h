#pragma once
// The one record that lives from the host's start-up call to its shutdown call. Each
// member is an owner its function defines; shutdown is destroying the record.

#include "files/file_search.h"
#include "files/folder_listing.h"
#include "interact/progress_display.h"
#include "platform/media/window_port.h"

namespace korvane {

struct PluginState {
    // The last folder listing, kept while the folder is unchanged (GetFolderItem).
    files::KeptFolderListing folderListing;
    // The open KUtl-FindFile search; destroying it closes its listings.
    files::FileSearch fileSearch;
    // The progress display between calls; destroying it closes what it shows.
    ProgressDisplay progress;
    // The bitmap CheckArea reads the window into, kept so that repeated reads cost no fresh memory.
    PortReadBuffer windowReads;
};

}  // namespace korvane
