# The product sources, compiled once per wrapper base.
#   kv_add_product(<target> <API definition> <wrapper library>)
# builds the product as a static library <target> with the definition (KV_API_VST, KV_API_AU or
# KV_API_HEADLESS) that selects its base, linked with the wrapper, the signal processing and the core;
# the VST and Audio Unit builds also with their editor (the headless one has none).
function(kv_add_product target api wrapper)
  set(dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  add_library(${target} STATIC
    ${dir}/Kestrovane.cpp
    ${dir}/KestrovaneEditor.cpp
    ${dir}/KestrovanePresets.cpp
    ${dir}/KestrovaneProcess.cpp
    ${dir}/KestrovaneStagedBaseRate.cpp
    ${dir}/KestrovaneStagedOversampled.cpp)
  target_compile_definitions(${target} PUBLIC ${api})
  # The staged form's speed depends on where its loops fall in the fetch lines: aligned, it no
  # longer moves by a few per cent with the code around it. At base rate -O3 measured about 3 per
  # cent faster than -O2; the oversampled forms, 10 per cent slower.
  set_source_files_properties(${dir}/KestrovaneStagedOversampled.cpp PROPERTIES COMPILE_OPTIONS
    "-falign-functions=64;-falign-loops=32")
  set_source_files_properties(${dir}/KestrovaneStagedBaseRate.cpp PROPERTIES COMPILE_OPTIONS
    "-falign-functions=64;-falign-loops=32;-O3")
  target_include_directories(${target} PUBLIC ${dir})
  target_link_libraries(${target} PUBLIC ${wrapper} kv_dsp kv_ifx_core)
  # The deliverables carry the editor: the product's own controls on the Mac editor surface.
  if(NOT api STREQUAL "KV_API_HEADLESS")
    target_sources(${target} PRIVATE ${dir}/KestrovaneGraphics.cpp)
    target_link_libraries(${target} PUBLIC kv_product_controls kv_gui_mac)
  endif()
endfunction()

# The product's own controls: the readout, the Release knob and the Mode knob.
add_library(kv_product_controls STATIC IOdometerControl.cpp IClickKnobControl.cpp IDetentKnob.cpp)
target_include_directories(kv_product_controls PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kv_product_controls PUBLIC kv_gui)

kv_add_product(kv_product_headless KV_API_HEADLESS kv_wrapper_headless)

# The product's identity from resource.h, for the bundles' build: kv_resource_value(<macro> <out>)
# reads a string or hexadecimal #define PLUG_..., kv_four_cc(<number> <out>) spells a four-character code.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/resource.h kv_resource REGEX "^#define PLUG_")
function(kv_resource_value name out)
  foreach(line IN LISTS kv_resource)
    if(line MATCHES "^#define ${name} +\"([^\"]*)\"")
      set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
      return()
    elseif(line MATCHES "^#define ${name} +(0x[0-9A-Fa-f]+)")
      math(EXPR value "${CMAKE_MATCH_1}")
      set(${out} "${value}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "resource.h defines no ${name}")
endfunction()
function(kv_four_cc value out)
  set(chars "")
  foreach(shift 24 16 8 0)
    math(EXPR byte "(${value} >> ${shift}) & 255")
    string(ASCII ${byte} c)
    string(APPEND chars "${c}")
  endforeach()
  set(${out} "${chars}" PARENT_SCOPE)
endfunction()
