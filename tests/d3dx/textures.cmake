# Image decoders and resampling (no display needed), and texture creation on a real device.
solvane_add_test(d3dx_image_decoder_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/decoder_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/decoder_conformance_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_decoder_processing_test.cpp)

solvane_add_test(d3dx_texture_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/decoder_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/texture_from_file_test.cpp
  LABELS display)
