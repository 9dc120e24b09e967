#include "runtime/Version.h"

#ifndef NALO_VERSION
#error "NALO_VERSION is set by the build"
#endif

namespace runtime {

std::string_view project_version() { return NALO_VERSION; }

} // namespace runtime
