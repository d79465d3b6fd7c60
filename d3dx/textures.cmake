# Texture loading: picture decoders, resampling and format conversion (no Direct3D), and the
# thin Direct3D layer that creates and fills textures.
target_sources(solvane_d3dx PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/image_scale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/exif_orientation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/color_key.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixel_formats.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bmp_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tga_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dxt_blocks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dds_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_decode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_plan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_upload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_texture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_from_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cube_texture_from_file.cpp)
