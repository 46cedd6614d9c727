# Scaled, rotated and transform blits and the vector drawing.
target_sources(kv_pix PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pix_blit_scaled.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pix_blit_scaled_sse2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pix_blit_rotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pix_blit_transform.cpp)
target_sources(kv_pix PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pix_line.cpp)
target_sources(kv_pix PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pix_rect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pix_triangle.cpp)
target_sources(kv_pix PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pix_circle.cpp)
target_sources(kv_pix PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pix_arc.cpp)
target_sources(kv_pix PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pix_curve.cpp)
