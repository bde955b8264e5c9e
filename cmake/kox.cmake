# Build helpers shared by every folder.
#
#   KOX_WIN32        the target is i686 Windows (cross build, tests run under Wine)
#   KOX_HOST         the target is this Linux machine (platform-neutral code only)
#   KOX_FUZZ         the fuzz preset: clang with libFuzzer
#
# kox_test(NAME SOURCES... LIBS ...)          GoogleTest program, registered with CTest
# kox_fuzz(NAME SOURCE LIBS ... CORPUS dir)   fuzz target; outside the fuzz preset it is
#                                             built as a replay of its checked-in corpus
# kox_bench(NAME SOURCES... LIBS ...)         benchmark program (bench preset only)

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(KOX_WIN32 ON)
  set(KOX_HOST OFF)
else()
  set(KOX_WIN32 OFF)
  set(KOX_HOST ON)
endif()

option(KOX_FUZZ "Build libFuzzer targets (clang)" OFF)
option(KOX_BENCH "Build benchmarks" OFF)
option(KOX_WITH_TESTS "Build unit tests" ON)
option(KOX_SANITIZE "AddressSanitizer + UndefinedBehaviorSanitizer" OFF)

if(KOX_WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # One self-contained executable per deliverable: no MinGW runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(KOX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KOX_FUZZ)
  # Every library is instrumented for coverage, so the fuzzers see inside the
  # code under test; only the fuzz programs link libFuzzer's main.
  add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

set(KOX_FUZZ_REPLAY_MAIN ${CMAKE_CURRENT_LIST_DIR}/fuzz_replay_main.cpp)

function(kox_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KOX_WITH_TESTS OR KOX_FUZZ OR KOX_BENCH)
    return()
  endif()
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(KOX_WIN32)
    # One Wine start per program keeps the run short; the program reports each case.
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES LABELS win32)
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS host)
  endif()
endfunction()

function(kox_fuzz name source)
  cmake_parse_arguments(F "" "CORPUS" "LIBS" ${ARGN})
  if(NOT KOX_HOST OR KOX_BENCH)
    return()
  endif()
  if(KOX_FUZZ)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
  elseif(KOX_WITH_TESTS)
    # Outside the fuzz preset every seed of the corpus runs as a regression test.
    add_executable(${name}_replay ${source} ${KOX_FUZZ_REPLAY_MAIN})
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    add_test(NAME ${name}_replay COMMAND ${name}_replay ${F_CORPUS})
    set_tests_properties(${name}_replay PROPERTIES LABELS host)
  endif()
endfunction()

function(kox_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KOX_BENCH)
    return()
  endif()
  add_executable(${name} ${B_SOURCES} ${B_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
endfunction()
