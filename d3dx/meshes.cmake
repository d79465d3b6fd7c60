# Mesh, buffer and math sources of the library.
target_sources(solvane_d3dx PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/d3dx_version.cpp
  ${CMAKE_CURRENT_LIST_DIR}/d3dx_math.cpp
  ${CMAKE_CURRENT_LIST_DIR}/d3dx_buffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/d3dx_mesh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/d3dx_mesh_xof.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fvf_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_buffers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_optimize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xof_mesh_data.cpp)
