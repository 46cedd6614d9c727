# The GUI framework: records, the control base, the editor surface, drawing on the raster library
# with the bitmap cache, and the standard controls.
add_library(kv_gui STATIC
  IControl.cpp
  IGraphics.cpp
  IGraphicsPix.cpp
  IBitmapCache.cpp
  IBitmapControls.cpp
  IKnobControls.cpp
  ITextControls.cpp)
target_include_directories(kv_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kv_gui PUBLIC kv_ifx_core kv_pix)
