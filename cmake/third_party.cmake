# libjpeg-turbo, libpng and libwebp are cross-built by scripts/setup into third_party/prefix;
# zlib comes from Debian's MinGW package.
set(SOLVANE_PREFIX ${CMAKE_SOURCE_DIR}/third_party/prefix)
foreach(lib jpeg png16 webp)
  if(NOT EXISTS ${SOLVANE_PREFIX}/lib/lib${lib}.a)
    message(FATAL_ERROR "${SOLVANE_PREFIX}/lib/lib${lib}.a is missing: run scripts/setup")
  endif()
endforeach()
find_library(SOLVANE_ZLIB NAMES libz.a z REQUIRED)

add_library(solvane_third_party INTERFACE)
target_include_directories(solvane_third_party SYSTEM INTERFACE ${SOLVANE_PREFIX}/include)
target_link_libraries(solvane_third_party INTERFACE
  ${SOLVANE_PREFIX}/lib/libturbojpeg.a ${SOLVANE_PREFIX}/lib/libjpeg.a
  ${SOLVANE_PREFIX}/lib/libpng16.a ${SOLVANE_PREFIX}/lib/libwebp.a ${SOLVANE_ZLIB})
