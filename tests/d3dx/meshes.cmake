# Math, mesh building and mesh objects of the image library (no display: meshes use an
# in-memory device).
solvane_add_test(d3dx_mesh_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/d3dx_math_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/mesh_geometry_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/mesh_object_test.cpp
  LIBRARIES solvane_xfile_test_support)
