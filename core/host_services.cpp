#include "core/host_services.h"

#include <cstring>

namespace korvane {
namespace {
HostServices* gCurrentHost = nullptr;
}

HostServices* currentHost() {
    return gCurrentHost;
}

void setCurrentHost(HostServices* host) {
    gCurrentHost = host;
}

Status setResult(const char* text) {
    if (text == nullptr || gCurrentHost == nullptr) {
        return kParamErr;
    }
    return gCurrentHost->storeResult(text, std::strlen(text));
}

}  // namespace korvane
