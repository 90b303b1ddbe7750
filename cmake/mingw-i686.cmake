# 32-bit Windows, as the program ships.
set(TULVO_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
