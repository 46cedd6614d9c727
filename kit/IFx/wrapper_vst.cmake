# The VST 2.4 wrapper, and kv_vst_module() which turns a shared library into a VST module.
add_library(kv_wrapper_vst STATIC
  IFxVST.cpp
  IFxVSTChunks.cpp
  IFxVSTDispatcher.cpp
  IFxVSTProcess.cpp)
target_link_libraries(kv_wrapper_vst PUBLIC kv_ifx_core kv_platform_vst)

# kv_vst_module(<target> [BUNDLE <name>])
# Adds the entry points to a MODULE library (whose sources define IFxVSTMakePlug), exports only
# VSTPluginMain and main, and with BUNDLE lays it out as
# build/bundles/<name>.vst/Contents/x86_64-linux/<name>.so.
function(kv_vst_module target)
  cmake_parse_arguments(V "" "BUNDLE" "" ${ARGN})
  set(ifx_dir ${PROJECT_SOURCE_DIR}/kit/IFx)
  target_sources(${target} PRIVATE ${ifx_dir}/IFxVSTEntry.cpp)
  target_link_libraries(${target} PRIVATE kv_wrapper_vst)
  target_link_options(${target} PRIVATE -Wl,--version-script=${ifx_dir}/vst_exports.map -Wl,--exclude-libs,ALL)
  if(NOT KV_SANITIZE)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" LINK_DEPENDS ${ifx_dir}/vst_exports.map)
  if(V_BUNDLE)
    set_target_properties(${target} PROPERTIES
      OUTPUT_NAME ${V_BUNDLE}
      LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bundles/${V_BUNDLE}.vst/Contents/x86_64-linux)
  endif()
endfunction()
