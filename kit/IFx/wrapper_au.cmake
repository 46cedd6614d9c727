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
