# Every Windows program the build or the tests run goes through cmake/wine-run, which keeps a
# private Wine prefix in the build folder.
set(SOLVANE_WINE_RUN ${CMAKE_SOURCE_DIR}/cmake/wine-run)
set(SOLVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SOLVANE_WINE_RUN} CACHE FILEPATH "" FORCE)
