# The Windows test package, Quillan-tests-win32.zip in the build folder: the
# Windows test programs, what they load from beside themselves, the runner
# and tests.txt, which tells the runner what to run. It runs as it is on a
# Windows machine and, in every `make test`, under Wine.
#
# Every GoogleTest program goes in by quillan_add_gtest. A test that ctest
# runs through a Unix script names its Windows stance where it is added:
#   quillan_package_test(NAME RUN target [args...])  a counterpart on Windows
#   quillan_package_test(NAME SKIP "reason")         skipped there, saying why
# (a reason holds no semicolon: CMake would take it for a list separator).

function(quillan_package_gtest target)
  set_property(GLOBAL APPEND PROPERTY QUILLAN_PACKAGE_PROGRAMS ${target})
  set_property(GLOBAL APPEND PROPERTY QUILLAN_PACKAGE_ENTRIES
               "gtest $<TARGET_FILE_NAME:${target}>")
endfunction()

function(quillan_package_test name kind)
  if(kind STREQUAL "RUN")
    list(POP_FRONT ARGN target)
    list(JOIN ARGN " " arguments)
    set_property(GLOBAL APPEND PROPERTY QUILLAN_PACKAGE_PROGRAMS ${target})
    set(entry "run ${name} $<TARGET_FILE_NAME:${target}> ${arguments}")
  elseif(kind STREQUAL "SKIP")
    list(JOIN ARGN " " reason)
    set(entry "skip ${name} ${reason}")
  else()
    message(FATAL_ERROR "quillan_package_test(${name}): RUN or SKIP, not ${kind}")
  endif()
  # The runner reads one entry a line.
  string(REPLACE "\n" " " entry "${entry}")
  set_property(GLOBAL APPEND PROPERTY QUILLAN_PACKAGE_ENTRIES "${entry}")
endfunction()

# Called once all tests are added. What goes in beside the programs: the
# programs and libraries each was made to depend on (add_dependencies, as a
# test needs for ctest to find them built) and the DLLs each links.
function(quillan_write_test_package runner)
  get_property(programs GLOBAL PROPERTY QUILLAN_PACKAGE_PROGRAMS)
  get_property(entries GLOBAL PROPERTY QUILLAN_PACKAGE_ENTRIES)
  set(targets ${runner} ${programs})
  foreach(program ${programs})
    get_target_property(needs ${program} MANUALLY_ADDED_DEPENDENCIES)
    if(needs)
      list(APPEND targets ${needs})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES targets)
  set(files "")
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY")
      list(APPEND files "$<TARGET_FILE:${target}>" "$<JOIN:$<TARGET_RUNTIME_DLLS:${target}>,\n>")
    endif()
  endforeach()

  set(dir ${CMAKE_BINARY_DIR}/test-package)
  string(JOIN "\n" manifest
         "# What run-tests.cmd runs, written by the build (see run_tests.cpp)." ${entries})
  file(GENERATE OUTPUT ${dir}/tests.txt CONTENT "${manifest}\n")
  string(JOIN "\n" listed ${files})
  file(GENERATE OUTPUT ${dir}/files.txt CONTENT "${listed}\n")

  set(zip ${CMAKE_BINARY_DIR}/Quillan-tests-win32.zip)
  set(door ${PROJECT_SOURCE_DIR}/tests/runner/run-tests.cmd)
  set(pack ${PROJECT_SOURCE_DIR}/tests/runner/pack.cmake)
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -DDIR=${dir} -DBIN=${CMAKE_BINARY_DIR}/bin -DDOOR=${door} -DZIP=${zip} -P ${pack}
    DEPENDS ${targets} ${dir}/tests.txt ${dir}/files.txt ${door} ${pack}
    COMMENT "Packing the Windows tests into Quillan-tests-win32.zip"
    VERBATIM)
  add_custom_target(test_package ALL DEPENDS ${zip})
endfunction()
