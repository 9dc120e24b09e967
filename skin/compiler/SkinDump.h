// A readable listing of a loaded skin: every named node's tree with its typed
// attributes, read back through the engine's getters.
#pragma once

#include "skin/file/Properties.h"

#include <string>

namespace skinc {

// Fonts that only remember their description, so that a dump can show it without a
// font engine.
void use_description_fonts();

std::string dump_skin(const skin::Properties& properties);

} // namespace skinc
