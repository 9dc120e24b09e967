// The window object of the shell: the process base (ApplicationCore) with the window and
// its drawing state.
#pragma once

#include "runtime/ApplicationCore.h"

#include <string_view>

namespace framework {

class GameBase : public runtime::ApplicationCore {
public:
    explicit GameBase(std::u16string_view application_name);
    ~GameBase() override;
};

} // namespace framework
