#include "skin/nodes/EditFocusHost.h"

namespace skin {

namespace {

EditFocusHost* s_host = nullptr;

} // namespace

EditFocusHost* EditFocusHost::current() { return s_host; }

void EditFocusHost::install(EditFocusHost* host) { s_host = host; }

} // namespace skin
