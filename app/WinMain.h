// The entry of the program Weather: one copy per user, the shell, the splash skin and the
// splash form (which brings up the rest inside the message loop), the loop, then the
// settings saved and everything torn down in reverse order.
#pragma once

#include <string_view>

namespace weather {

// The command line only goes to the single-instance check. Returns the message loop's
// code (non-zero after a failed scripted run), 0 otherwise.
int WinMain(std::u16string_view command_line);

} // namespace weather
