target_sources(solvane_d3dx PRIVATE ${CMAKE_CURRENT_LIST_DIR}/d3dx_version.cpp)
