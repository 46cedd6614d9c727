# The Audio Unit wrapper: IFxAU with its component entries, buses, properties, state and parameters.
# The product's build glue supplies MakePlug.
add_library(kv_wrapper_au STATIC
  IFxAU.cpp
  IFxAU_CarbonView.cpp
  IFxAU_Params.cpp
  IFxAU_Properties.cpp
  IFxAU_Render.cpp
  IFxAU_State.cpp)
target_include_directories(kv_wrapper_au PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kv_wrapper_au PUBLIC kv_ifx_core kv_mac_audiotoolbox kv_mac_audiounit kv_mac_coreservices
  kv_mac_corefoundation)

# kv_au_module(<target> PREFIX <entry prefix> BUNDLE <name> IDENTIFIER <bundle id> NAME <component name>
#              TYPE <4 chars> SUBTYPE <4 chars> MANUFACTURER <4 chars> VERSION <integer> [DIRECTORY <dir>])
# Adds the exported entries <prefix>_Entry and <prefix>_ViewEntry to a MODULE library (whose
# sources define MakePlug), exports nothing else, and lays it out as
# build/bundles/<name>.component/Contents/x86_64-linux/<name>.so (or under DIRECTORY) with its Info.plist (bundle
# identifier and component description) and an empty Contents/Resources/.
function(kv_au_module target)
  cmake_parse_arguments(A "" "PREFIX;BUNDLE;IDENTIFIER;NAME;TYPE;SUBTYPE;MANUFACTURER;VERSION;DIRECTORY" "" ${ARGN})
  if(NOT A_DIRECTORY)
    set(A_DIRECTORY ${PROJECT_BINARY_DIR}/bundles)
  endif()
  set(ifx_dir ${PROJECT_SOURCE_DIR}/kit/IFx)
  set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_au)
  set(bundle_dir ${A_DIRECTORY}/${A_BUNDLE}.component)
  set(KV_AU_PREFIX ${A_PREFIX})
  set(KV_AU_BUNDLE ${A_BUNDLE})
  set(KV_AU_IDENTIFIER ${A_IDENTIFIER})
  set(KV_AU_NAME ${A_NAME})
  set(KV_AU_TYPE ${A_TYPE})
  set(KV_AU_SUBTYPE ${A_SUBTYPE})
  set(KV_AU_MANUFACTURER ${A_MANUFACTURER})
  set(KV_AU_VERSION ${A_VERSION})
  configure_file(${ifx_dir}/IFxAUExports.cpp.in ${gen_dir}/${A_PREFIX}_exports.cpp @ONLY)
  configure_file(${ifx_dir}/au_exports.map.in ${gen_dir}/exports.map @ONLY)
  configure_file(${ifx_dir}/au_Info.plist.in ${bundle_dir}/Contents/Info.plist @ONLY)
  file(MAKE_DIRECTORY ${bundle_dir}/Contents/Resources)
  target_sources(${target} PRIVATE ${gen_dir}/${A_PREFIX}_exports.cpp)
  target_link_libraries(${target} PRIVATE kv_wrapper_au)
  target_link_options(${target} PRIVATE -Wl,--version-script=${gen_dir}/exports.map -Wl,--exclude-libs,ALL)
  if(NOT KV_SANITIZE)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${A_BUNDLE} LINK_DEPENDS ${gen_dir}/exports.map
    LIBRARY_OUTPUT_DIRECTORY ${bundle_dir}/Contents/x86_64-linux)
endfunction()
