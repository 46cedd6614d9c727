# A host-free wrapper base for tests, benchmarks and tools.
add_library(kv_wrapper_headless STATIC IFxHeadless.cpp)
target_include_directories(kv_wrapper_headless PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kv_wrapper_headless PUBLIC kv_ifx_core)
