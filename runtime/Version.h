// The version of the system, one for every program and tool; set by the build from the
// project's version.
#pragma once

#include <string_view>

namespace runtime {

// "MAJOR.MINOR.PATCH", e.g. "0.9.0".
std::string_view project_version();

} // namespace runtime
