# The KestrovaneAU deliverable: the product on the Audio Unit wrapper, laid out as
# build/bundles/KestrovaneAU.component/Contents/x86_64-linux/KestrovaneAU.so with its Info.plist,
# exporting only Kestrovane_Entry and Kestrovane_ViewEntry. kv_product_au is the same product as a
# static library, for tests and benchmarks that run it in process. The bundle identifier, the
# component's name, codes and version come from resource.h.
if(NOT COMMAND kv_add_product OR NOT COMMAND kv_au_module)
  return()
endif()
kv_add_product(kv_product_au KV_API_AU kv_wrapper_au)

kv_resource_value(PLUG_BUNDLE_ID_AU kv_au_id)
kv_resource_value(PLUG_VIEW_CLASS kv_au_view_class)
kv_resource_value(PLUG_NAME kv_au_name)
kv_resource_value(PLUG_MFR kv_au_mfr)
kv_resource_value(PLUG_VER kv_au_version)
kv_resource_value(PLUG_UNIQUE_ID kv_au_unique)
kv_resource_value(PLUG_MFR_ID kv_au_mfr_id)
kv_four_cc(${kv_au_unique} kv_au_subtype)
kv_four_cc(${kv_au_mfr_id} kv_au_manufacturer)

add_library(KestrovaneAU MODULE KestrovaneAU.cpp)
target_link_libraries(KestrovaneAU PRIVATE kv_product_au)
kv_au_module(KestrovaneAU PREFIX Kestrovane BUNDLE KestrovaneAU IDENTIFIER ${kv_au_id}
  NAME "${kv_au_mfr}: ${kv_au_name}" TYPE aufx SUBTYPE ${kv_au_subtype} MANUFACTURER ${kv_au_manufacturer}
  VERSION ${kv_au_version} VIEW_CLASS ${kv_au_view_class})
kv_bundle_editor_images(KestrovaneAU ${PROJECT_BINARY_DIR}/bundles/KestrovaneAU.component)
