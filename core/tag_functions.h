#pragma once
// KUtl-Tag and KUtl-TagList: reading tags back out of a text of KEY=value items.

#include "core/call.h"

namespace korvane {

Status tagHandler(Call& call);
Status tagListHandler(Call& call);

// Argument names whose values are paths: SRC, DEST, PATH, LOCATION, ORIGINAL, APP, DOC.
bool isPathArgumentName(const char* name);

}  // namespace korvane
