// Weather in a real SDL window under an X server of the benchmark's own (Xvfb), with
// five cities: exec to the window mapped and to the first frame of the main form, how
// often the window was mapped, peak resident memory, the processor time and the
// wake-ups (voluntary context switches of all threads) over 10 s of a static page, and
// which GL libraries the process has mapped.
#pragma once

#include <string>

namespace startup_bench {

// The installed program folder the runs start Weather from, and the settings and cache
// files of that many cities in it.
std::string program_folder();
void write_cities(int count);

// Rounds of each screen; the medians are printed. Non-zero when a run failed.
int window_figures(int rounds);

} // namespace startup_bench
