// Mapping of the system's native path texts (backslashes, the device folder "\Temp")
// onto Linux host paths, and the host facts the path macros are built from.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The host folder that stands for the device's "\Temp": $NALO_TEMP, else $TMPDIR, else /tmp.
std::string temp_folder();

// A native text as a host path: every '\' becomes '/', a leading "\Temp" becomes the
// temp folder, and the result is UTF-8.
std::string host_path(std::u16string_view native);

// Full host path of the running executable (from /proc/self/exe), empty when unknown.
std::u16string executable_path();

} // namespace platform
