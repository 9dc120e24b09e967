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
