# The plug-in core: parameters, the plug-in base, presets and state, host identification, MIDI.
add_library(kv_ifx_core STATIC
  IFxBase.cpp
  IFxPresets.cpp
  IFxCheck.cpp
  IFxDebug.cpp
  IFxStructs.cpp
  IParam.cpp)
target_include_directories(kv_ifx_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kv_ifx_core PUBLIC kv_kit)
