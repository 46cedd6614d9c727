# Build variants, warnings and the helpers every folder uses to declare tests, fuzzers and benchmarks.
#
#   KV_SANITIZE   ""                 plain build (the Release build CI runs first)
#                 "address,undefined" ASan + UBSan (Clang); fuzz targets are built too
#                 "thread"            TSan; only the concurrency tests are built
option(KV_BUILD_BENCH "Build the Google Benchmark programs under bench/" ON)
set(KV_SANITIZE "" CACHE STRING "Sanitizers to build with (empty, address,undefined or thread)")

# Pixel and sample results are pinned: no contraction into fused multiply-adds, no fast-math.
add_compile_options(-ffp-contract=off -fno-fast-math)
add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Werror)
  # GCC's -O2 vectorizes only loops of known trip count; sample and pixel loops are not.
  add_compile_options(-fvect-cost-model=cheap)
endif()

set(KV_FUZZ OFF)
set(KV_TSAN OFF)
if(KV_SANITIZE)
  add_compile_options(-fsanitize=${KV_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${KV_SANITIZE})
  if(KV_SANITIZE MATCHES "address" AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_compile_options(-fsanitize=float-cast-overflow)
    set(KV_FUZZ ON)
  endif()
  if(KV_SANITIZE MATCHES "thread")
    set(KV_TSAN ON)
  endif()
  set(KV_BUILD_BENCH OFF)
endif()

include(GoogleTest)

# kv_add_test(<name> SOURCES <files...> LIBS <targets...> [CONCURRENCY] [TIMEOUT <seconds>])
# One GoogleTest executable; each of its tests becomes a ctest test. CONCURRENCY marks a suite that
# the ThreadSanitizer build runs; that build builds nothing else. TIMEOUT (default 300) bounds each
# test, for suites whose failure would be a hang.
function(kv_add_test name)
  cmake_parse_arguments(T "CONCURRENCY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(KV_TSAN AND NOT T_CONCURRENCY)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tests/support)
  set(labels unit)
  if(T_CONCURRENCY)
    set(labels concurrency)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
endfunction()

# kv_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>)
# A libFuzzer target (LLVMFuzzerTestOneInput), built only in the Clang sanitizer build;
# test.sh runs each one for a bounded time.
function(kv_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KV_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
endfunction()

# kv_add_bench(<name> SOURCES <files...> LIBS <targets...>)
function(kv_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KV_BUILD_BENCH)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()

# kv_add_subdirectories(<glob>...): adds every folder matching the globs that has a CMakeLists.txt,
# in sorted order. Folders that group others (tests/, tools/, bench/, platform/) use it.
function(kv_add_subdirectories)
  set(dirs)
  foreach(pattern IN LISTS ARGN)
    file(GLOB found LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
    list(APPEND dirs ${found})
  endforeach()
  list(SORT dirs)
  foreach(dir IN LISTS dirs)
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
