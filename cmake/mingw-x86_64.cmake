# 64-bit Windows: the same sources, for running the tests where Linux cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
