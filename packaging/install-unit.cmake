# Writes forecastd's systemd user unit with ExecStart on the installed forecastd, into
# lib/systemd/user and beside the programs. Run by `cmake --install`, which knows the
# prefix (and DESTDIR, which file(INSTALL) adds).
set(program_dir "${NALO_INSTALL_PROGRAM_DIR}")
if(NOT IS_ABSOLUTE "${program_dir}")
  set(program_dir "${CMAKE_INSTALL_PREFIX}/${program_dir}")
endif()
# systemd reads "%" as a specifier and splits the command line at white space.
string(REPLACE "%" "%%" forecastd "${program_dir}/forecastd")
if(forecastd MATCHES "[ \t\"\\\\]")
  string(REPLACE "\\" "\\\\" forecastd "${forecastd}")
  string(REPLACE "\"" "\\\"" forecastd "${forecastd}")
  set(forecastd "\"${forecastd}\"")
endif()

file(READ "${NALO_UNIT_SOURCE}" unit)
# The source's own comment is about the build tree; the installed unit says how to use it.
string(REGEX REPLACE "^(#[^\n]*\n)+" "" unit "${unit}")
string(REGEX REPLACE "\nExecStart=[^ \n]+" "\nExecStart=${forecastd}" unit "${unit}")
if(NOT unit MATCHES "\nExecStart=")
  message(FATAL_ERROR "${NALO_UNIT_SOURCE} has no ExecStart line")
endif()
file(MAKE_DIRECTORY "${NALO_UNIT_WORK}")
file(WRITE "${NALO_UNIT_WORK}/forecastd.service"
  "# systemd user unit for forecastd, the forecast service the Ombrelo daemon asks.\n"
  "# Start it for your user:  systemctl --user enable --now forecastd\n"
  "${unit}")
file(INSTALL "${NALO_UNIT_WORK}/forecastd.service" DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/user")
file(INSTALL "${NALO_UNIT_WORK}/forecastd.service" DESTINATION "${program_dir}")
