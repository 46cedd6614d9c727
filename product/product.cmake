# The product sources, compiled once per wrapper base.
#   kv_add_product(<target> <API definition> <wrapper library>)
# builds the product as a static library <target> with the definition (KV_API_VST, KV_API_AU or
# KV_API_HEADLESS) that selects its base, linked with the wrapper, the signal processing and the core.
function(kv_add_product target api wrapper)
  set(dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  add_library(${target} STATIC
    ${dir}/Kestrovane.cpp
    ${dir}/KestrovanePresets.cpp
    ${dir}/KestrovaneProcess.cpp)
  target_compile_definitions(${target} PUBLIC ${api})
  target_include_directories(${target} PUBLIC ${dir})
  target_link_libraries(${target} PUBLIC ${wrapper} kv_dsp kv_ifx_core)
endfunction()

kv_add_product(kv_product_headless KV_API_HEADLESS kv_wrapper_headless)
