#include "framework/GameBase.h"

namespace framework {

GameBase::GameBase(std::u16string_view application_name)
    : ApplicationCore(nullptr, application_name)
{
}

GameBase::~GameBase() = default;

} // namespace framework
