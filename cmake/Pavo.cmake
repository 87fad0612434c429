# Helpers shared by every folder of the project.
#
# Three configurations use the same tree:
#   native  - host compiler; pure computation and its unit tests, benchmarks
#   win64   - MinGW-w64 x86_64; modules and Windows tests, run under Wine
#   win32   - MinGW-w64 i686; everything compiled, nothing run
# WIN32 is true for both Windows builds; PAVO_CAN_RUN_TESTS only for win64.

set(PAVO_WARNINGS -Wall -Wextra)

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601)
  # Modules and programs carry their own runtime: no MinGW DLL at run time.
  set(PAVO_STATIC_LINK -static -static-libgcc -static-libstdc++)
  # The modules run in their host's one thread, so a static initialised on
  # first use needs no lock. Taking one would have the static thread runtime
  # tie an event and a copy of the host's thread handle to every load of a
  # module, never given back. The source manager, the hosts and the tests,
  # which do run threads, turn the lock back on in their folders.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # Exports of stdcall entries keep their plain names (DS_Entry, SPI_CALL).
    # The .def files name them plainly; the linker takes that as meant.
    set(PAVO_SHARED_EXTRA -Wl,--kill-at -Wl,--enable-stdcall-fixup)
    set(PAVO_PRODUCT_SUBDIR "TWAIN_32/PAVO")
  else()
    set(PAVO_SHARED_EXTRA)
    set(PAVO_PRODUCT_SUBDIR "TWAIN_64/PAVO")
  endif()
else()
  if(PAVO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

macro(pavo_add_folder dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endmacro()

# Adds every immediate child folder of DIR that has a CMakeLists.txt.
macro(pavo_add_children dir)
  file(GLOB _pavo_children LIST_DIRECTORIES true
       ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
  list(SORT _pavo_children)
  foreach(_child ${_pavo_children})
    if(IS_DIRECTORY ${_child} AND EXISTS ${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()

function(pavo_warnings target)
  target_compile_options(${target} PRIVATE ${PAVO_WARNINGS})
endfunction()

# A static library of pure computation (no Windows header): built in every
# configuration, tested natively.
function(pavo_pure_library name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${P_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${P_LIBS})
  pavo_warnings(${name})
endfunction()

# A Windows DLL (or .ds). KIND is "product" (installed into the product
# folder of the Wine prefix) or "system" (installed into system32) or "none".
# OUTPUT_NAME and SUFFIX give the file name; DEF names a module definition.
function(pavo_win_module target)
  cmake_parse_arguments(P "" "KIND;OUTPUT_NAME;SUFFIX;DEF" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${P_SOURCES} ${P_DEF})
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(P_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${P_OUTPUT_NAME})
  endif()
  if(P_SUFFIX)
    set_target_properties(${target} PROPERTIES SUFFIX ${P_SUFFIX})
  endif()
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${P_LIBS})
  target_link_options(${target} PRIVATE ${PAVO_STATIC_LINK} ${PAVO_SHARED_EXTRA})
  pavo_warnings(${target})
  if(NOT P_KIND)
    set(P_KIND product)
  endif()
  if(P_KIND STREQUAL "product")
    set_property(GLOBAL APPEND PROPERTY PAVO_PRODUCT_MODULES ${target})
  elseif(P_KIND STREQUAL "system")
    set_property(GLOBAL APPEND PROPERTY PAVO_SYSTEM_MODULES ${target})
  endif()
endfunction()

# A Windows program (not a test).
function(pavo_win_program target)
  cmake_parse_arguments(P "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${P_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${P_LIBS})
  target_link_options(${target} PRIVATE ${PAVO_STATIC_LINK})
  if(P_GUI)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
  pavo_warnings(${target})
endfunction()

# Data files installed into the product folder beside the modules.
function(pavo_product_files)
  set_property(GLOBAL APPEND PROPERTY PAVO_PRODUCT_FILES ${ARGN})
endfunction()

# A native GoogleTest program, run by ctest.
function(pavo_unit_test name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${P_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${P_LIBS} GTest::gtest_main)
  pavo_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
endfunction()

# A Windows GoogleTest program. Built in both Windows configurations, run
# under Wine in win64 after the modules are installed into the prefix.
function(pavo_win_test name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  add_executable(${name} ${P_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${P_LIBS} pavo_win_support GTest::gtest_main)
  target_link_options(${name} PRIVATE ${PAVO_STATIC_LINK})
  pavo_warnings(${name})
  if(PAVO_CAN_RUN_TESTS)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wine_prefix
      ENVIRONMENT "${PAVO_WINE_ENV}"
      RESOURCE_LOCK wine_prefix)
  endif()
endfunction()

# A native Google Benchmark program: built, never run by ctest.
function(pavo_benchmark name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR PAVO_SANITIZE)
    return()
  endif()
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    return()
  endif()
  add_executable(${name} ${P_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${P_LIBS} benchmark::benchmark)
  pavo_warnings(${name})
endfunction()

# GoogleTest from Debian's sources, for whichever compiler this build uses.
if(NOT TARGET GTest::gtest_main)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# The Wine environment every Windows test runs in: a prefix of this build tree.
set(PAVO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(PAVO_WINE_ENV
  "WINEPREFIX=${PAVO_WINEPREFIX}"
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=mscoree,mshtml=")

# A libFuzzer target under ASan and UBSan, run by ctest as NAME from the
# seed folder SEEDS (new inputs go to the build tree): RUNS runs of inputs
# up to MAX_LEN bytes. Native configuration only; libFuzzer needs clang,
# so with another compiler the target is built with clang on the side.
function(pavo_fuzz_test name)
  cmake_parse_arguments(P "" "SEEDS;RUNS;MAX_LEN" "SOURCES;HEADERS" ${ARGN})
  if(WIN32 OR PAVO_SANITIZE)
    return()
  endif()
  set(_exe ${CMAKE_CURRENT_BINARY_DIR}/${name}er)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${name} ${P_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE -g -O1 -fsanitize=fuzzer,address,undefined
                           -fno-sanitize-recover=undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    set(_exe $<TARGET_FILE:${name}>)
  else()
    find_program(PAVO_CLANGXX NAMES clang++)
    if(NOT PAVO_CLANGXX)
      message(STATUS "${name}: no clang++, the fuzz test is left out")
      return()
    endif()
    add_custom_command(OUTPUT ${_exe}
      COMMAND ${PAVO_CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
              -fno-sanitize-recover=undefined -I${CMAKE_SOURCE_DIR} ${P_SOURCES} -o ${_exe}
      DEPENDS ${P_SOURCES} ${P_HEADERS}
      COMMENT "Building the fuzz target ${name} with clang")
    add_custom_target(${name} ALL DEPENDS ${_exe})
  endif()
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/corpus)
  add_test(NAME ${name}
    COMMAND ${_exe} -runs=${P_RUNS} -seed=1 -max_len=${P_MAX_LEN} -print_final_stats=1
            ${CMAKE_CURRENT_BINARY_DIR}/corpus ${P_SEEDS})
endfunction()
