# The KestrovaneVST deliverable: the product on the VST wrapper, laid out as
# build/bundles/KestrovaneVST.vst/Contents/x86_64-linux/KestrovaneVST.so, exporting only
# VSTPluginMain and main. kv_product_vst is the same product as a static library, for the tests
# and the fuzz target that run it in process.
if(NOT COMMAND kv_add_product)
  return()
endif()
kv_add_product(kv_product_vst KV_API_VST kv_wrapper_vst)

add_library(KestrovaneVST MODULE KestrovaneVSTEntry.cpp)
target_link_libraries(KestrovaneVST PRIVATE kv_product_vst)
kv_resource_value(PLUG_BUNDLE_ID_VST kv_vst_id)
kv_vst_module(KestrovaneVST BUNDLE KestrovaneVST IDENTIFIER ${kv_vst_id})
kv_bundle_editor_images(KestrovaneVST ${PROJECT_BINARY_DIR}/bundles/KestrovaneVST.vst)
