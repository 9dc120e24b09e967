# Helpers shared by the subsystem folders.

# nalo_program(NAME SOURCES...): an executable placed in the program folder.
function(nalo_program name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NALO_PROGRAM_DIR})
endfunction()

# nalo_tool(NAME SOURCES...): a command-line tool placed in build/bin.
function(nalo_tool name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NALO_TOOLS_DIR})
endfunction()

# nalo_test(NAME SOURCES... LIBS libs...): one GoogleTest binary, run by CTest as one test
# with its own registry database and temp folder so that test binaries never share state.
function(nalo_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    NALO_BUILD_DIR="${CMAKE_BINARY_DIR}"
    NALO_PROGRAM_DIR="${NALO_PROGRAM_DIR}"
    NALO_TOOLS_DIR="${NALO_TOOLS_DIR}"
    NALO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set(state ${CMAKE_BINARY_DIR}/test-state/${name})
  file(MAKE_DIRECTORY ${state}/temp)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "NALO_REGISTRY=${state}/registry.db;NALO_TEMP=${state}/temp;XDG_RUNTIME_DIR=${state};${T_ENV}")
endfunction()

# nalo_add_folders(FOLDERS... [PLANNED folders...] [OPTIONAL folders...]): adds the
# subfolders of the calling folder in the order given. Each of FOLDERS must have a
# CMakeLists.txt, else the configure fails. PLANNED folders are being written elsewhere
# and are added once they exist; moving a name from PLANNED to FOLDERS is the one-line
# change when one lands. OPTIONAL folders are added by the caller itself. Any subfolder
# with a CMakeLists.txt that none of the lists names fails the configure, so that a
# misspelt or forgotten name never drops a target silently.
function(nalo_add_folders)
  cmake_parse_arguments(F "" "" "PLANNED;OPTIONAL" ${ARGN})
  set(here ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(dir ${F_UNPARSED_ARGUMENTS})
    if(NOT EXISTS ${here}/${dir}/CMakeLists.txt)
      message(FATAL_ERROR "${here}/${dir}/CMakeLists.txt does not exist")
    endif()
    add_subdirectory(${dir})
  endforeach()
  foreach(dir ${F_PLANNED})
    if(EXISTS ${here}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
  file(GLOB present RELATIVE ${here} ${here}/*/CMakeLists.txt)
  foreach(file ${present})
    get_filename_component(dir ${file} DIRECTORY)
    if(NOT dir IN_LIST F_UNPARSED_ARGUMENTS AND NOT dir IN_LIST F_PLANNED AND NOT dir IN_LIST F_OPTIONAL)
      message(FATAL_ERROR "${here}/${dir} has a CMakeLists.txt but is not listed in ${here}/CMakeLists.txt")
    endif()
  endforeach()
endfunction()
