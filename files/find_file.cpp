// KUtl-FindFile: one match per call, from the search kept between calls.

#include <cstdint>

#include "core/args.h"
#include "files/file_functions.h"
#include "files/file_search.h"
#include "files/find_criteria.h"
#include "platform/paths/file_ref.h"
#include "platform/paths/file_types.h"

namespace korvane {
namespace {

struct FindRequest {
    char name[files::kMaxCriterionLength + 1] = {};
    char extension[files::kMaxCriterionLength + 1] = {};
    bool extensionGiven = false;
    bool typeGiven = false;
    uint32_t fileType = 0;  // 0 when FILETYPE is not a four-character code
    char volume[files::kMaxVolumeNameLength + 1] = {};
    bool volumeGiven = false;
    bool localOnly = false;
};

// The criteria of this call; false when it gives none (it continues the open search).
bool readFindRequest(const Arguments& args, FindRequest* request) {
    const bool nameGiven = args.tagText("NAME", request->name, files::kMaxCriterionLength);
    request->extensionGiven = args.tagText("EXTENSION", request->extension, files::kMaxCriterionLength);
    request->typeGiven = args.tagValue("FILETYPE") != nullptr;
    if (request->typeGiven && !args.tagCode("FILETYPE", &request->fileType)) {
        request->fileType = 0;
    }
    request->volumeGiven = args.tagText("VOLUME", request->volume, files::kMaxVolumeNameLength);
    request->localOnly = args.tagBool("LOCALONLY", false);
    return nameGiven || request->extensionGiven || request->typeGiven;
}

// Opens the search `request` describes. A volume that does not exist ends it at once.
Status startSearch(const FindRequest& request, files::FileSearch* search) {
    const char* extension = request.extension;
    if (request.typeGiven) {
        FileType type{};
        if (!typeExtension(request.fileType, &type)) {
            search->close();
            return kParamErr;
        }
        if (!request.extensionGiven && type.extension[0] != '\0') {
            extension = type.extension;
        }
    }
    char pattern[files::kSearchPatternCapacity];
    if (!files::makeSearchPattern(request.name, extension, pattern, sizeof pattern)) {
        search->close();
        return kParamErr;
    }
    if (!request.volumeGiven) {
        return search->startOnDrives(pattern,
                                     request.localOnly ? files::DriveChoice::kLocalOnly : files::DriveChoice::kEvery);
    }
    char root[kPathCapacity];
    if (!files::volumeSearchRoot(request.volume, findVolumeRoot, root, sizeof root)) {
        search->close();
        return kFileNotFound;
    }
    return search->startOnVolume(pattern, root);
}

}  // namespace

Status findFileHandler(Call& call, files::FileSearch* search) {
    if (search == nullptr) {
        return kNoStateFindFile;
    }
    FindRequest request;
    const bool newCriteria = readFindRequest(call.args(), &request);
    if (newCriteria) {
        if (const Status status = startSearch(request, search); status != kNoErr) {
            return status;
        }
    } else if (!search->open()) {
        return kParamErr;
    }
    FileRef match;
    if (const Status status = search->next(match.path, sizeof match.path); status != kNoErr) {
        return status;
    }
    match.exists = true;
    return writePathResult(match, call);
}

}  // namespace korvane
