# Shared build settings and helpers of the project.

set(MIVORA_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND MIVORA_WARNINGS -Wno-psabi)
endif()
# Off by default: a newer compiler's new warnings must not break a person's build.
if(MIVORA_WERROR)
  list(APPEND MIVORA_WARNINGS -Werror)
endif()

if(MIVORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(MIVORA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# The fuzz build: every library of ours is instrumented, since the code under test is
# theirs and without coverage there the fuzzer only guesses. Executables that are
# fuzz targets add -fsanitize=fuzzer themselves (it brings its own main).
if(MIVORA_LIBFUZZER)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MIVORA_LIBFUZZER needs clang: -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

find_package(PkgConfig REQUIRED)

# mivora_pkg(<prefix> <module>...): a pkg-config module as an imported target,
# with a clear error naming the Debian package when it is missing.
function(mivora_pkg prefix debian_package)
  pkg_check_modules(${prefix} IMPORTED_TARGET GLOBAL ${ARGN})
  if(NOT ${prefix}_FOUND)
    message(FATAL_ERROR "Missing ${ARGN}: install the Debian package ${debian_package} (scripts/install-deps.sh does it)")
  endif()
endfunction()

# Adds every sub-folder of <dir> that has a CMakeLists.txt.
function(mivora_add_subdirs dir)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${dir} ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# mivora_sources(<var> <folder>...): every .cpp below the folders (recursive).
function(mivora_sources var)
  set(all)
  foreach(folder ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.c)
    list(APPEND all ${found})
  endforeach()
  list(SORT all)
  set(${var} ${all} PARENT_SCOPE)
endfunction()

# mivora_warnings(<target>): the project's warning set.
function(mivora_warnings target)
  target_compile_options(${target} PRIVATE ${MIVORA_WARNINGS})
endfunction()

# mivora_test(<name> [REAL_TIMEOUT <s>] LIBS <libs>...): one GoogleTest executable from
# every .cpp of the current folder, registered with CTest. A test with "Real" in its
# name needs a real X display: CTest runs each of those on a virtual display of its own
# (scripts/on-xvfb.sh, label real_display), every other test offscreen. REAL_TIMEOUT
# (300 s by default) bounds each real-display test; on-xvfb.sh prints the stacks of one
# 20 s before that bound.
find_package(GTest)
set(MIVORA_REAL_DISPLAY_FILTER "*Real*")
function(mivora_test name)
  cmake_parse_arguments(T "" "REAL_TIMEOUT" "LIBS" ${ARGN})
  if(NOT T_REAL_TIMEOUT)
    set(T_REAL_TIMEOUT 300)
  endif()
  math(EXPR watchdog "${T_REAL_TIMEOUT} - 20")
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if("mivora_ui" IN_LIST T_LIBS AND TARGET mivora_test_wiring)
    target_link_libraries(${name} PRIVATE mivora_test_wiring)
  endif()
  mivora_warnings(${name})
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    TEST_FILTER "-${MIVORA_REAL_DISPLAY_FILTER}"
    PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  # The launcher is taken when the tests are declared, so it wraps only this set.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
               /bin/bash ${PROJECT_SOURCE_DIR}/scripts/on-xvfb.sh)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    TEST_FILTER "${MIVORA_REAL_DISPLAY_FILTER}"
    PROPERTIES TIMEOUT ${T_REAL_TIMEOUT} LABELS real_display SKIP_RETURN_CODE 77
               ENVIRONMENT "MIVORA_XVFB_WATCHDOG=${watchdog}")
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR)
endfunction()
