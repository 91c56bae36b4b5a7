#pragma once

#include <string>

#include "comm/DeviceSession.h"
#include "support/TempDir.h"

namespace dialvane::testing {

// A session with verify on whose temporary files, named after `tag`, lie in `dir`, so sessions
// side by side keep apart.
inline DeviceSessionSettings SessionSettingsIn(const TempDir& dir, const std::string& tag) {
    DeviceSessionSettings settings;
    settings.engine.env.timeout = 5000;
    settings.engine.verify = true;
    settings.downloadFile = dir.File("download-" + tag + ".tmp");
    settings.sendFile = dir.File("send-" + tag + ".tmp");
    return settings;
}

}  // namespace dialvane::testing
