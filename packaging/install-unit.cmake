# Writes forecastd's systemd user units, the service with ExecStart on the installed
# forecastd, into lib/systemd/user and beside the programs, and enables the socket for
# every user with a link in lib/systemd/user/sockets.target.wants. Writes the refresh
# timer and its service, ExecStart on the installed nalo-weather-today, into
# lib/systemd/user and enables the timer with a link in timers.target.wants. Run by
# `cmake --install`, which knows the prefix (and DESTDIR, which file(INSTALL) adds).
set(program_dir "${NALO_INSTALL_PROGRAM_DIR}")
if(NOT IS_ABSOLUTE "${program_dir}")
  set(program_dir "${CMAKE_INSTALL_PREFIX}/${program_dir}")
endif()
# systemd reads "%" as a specifier and splits the command line at white space.
function(unit_command path out)
  string(REPLACE "%" "%%" command "${path}")
  if(command MATCHES "[ \t\"\\\\]")
    string(REPLACE "\\" "\\\\" command "${command}")
    string(REPLACE "\"" "\\\"" command "${command}")
    set(command "\"${command}\"")
  endif()
  set(${out} "${command}" PARENT_SCOPE)
endfunction()
unit_command("${program_dir}/forecastd" forecastd)

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
  "# Started by forecastd.socket on the first connection, for every user.\n"
  "${unit}")
get_filename_component(source_dir "${NALO_UNIT_SOURCE}" DIRECTORY)
set(units "${NALO_UNIT_WORK}/forecastd.service" "${source_dir}/forecastd.socket")
file(MAKE_DIRECTORY "${NALO_UNIT_WORK}/sockets.target.wants")
file(CREATE_LINK ../forecastd.socket "${NALO_UNIT_WORK}/sockets.target.wants/forecastd.socket" SYMBOLIC)
file(INSTALL ${units} "${NALO_UNIT_WORK}/sockets.target.wants" DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/user")
file(INSTALL ${units} DESTINATION "${program_dir}")

# The refresh timer and its service, which runs the installed nalo-weather-today.
set(bin_dir "${NALO_INSTALL_BINDIR}")
if(NOT IS_ABSOLUTE "${bin_dir}")
  set(bin_dir "${CMAKE_INSTALL_PREFIX}/${bin_dir}")
endif()
unit_command("${bin_dir}/nalo-weather-today" today)
file(READ "${NALO_REFRESH_SOURCE}/nalo-weather-refresh.service" refresh)
string(REGEX REPLACE "\nExecStart=[^ \n]+" "\nExecStart=${today}" refresh "${refresh}")
if(NOT refresh MATCHES "\nExecStart=")
  message(FATAL_ERROR "${NALO_REFRESH_SOURCE}/nalo-weather-refresh.service has no ExecStart line")
endif()
file(WRITE "${NALO_UNIT_WORK}/nalo-weather-refresh.service" "${refresh}")
file(MAKE_DIRECTORY "${NALO_UNIT_WORK}/timers.target.wants")
file(CREATE_LINK ../nalo-weather-refresh.timer "${NALO_UNIT_WORK}/timers.target.wants/nalo-weather-refresh.timer" SYMBOLIC)
file(INSTALL "${NALO_UNIT_WORK}/nalo-weather-refresh.service" "${NALO_REFRESH_SOURCE}/nalo-weather-refresh.timer"
  "${NALO_UNIT_WORK}/timers.target.wants" DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/user")
