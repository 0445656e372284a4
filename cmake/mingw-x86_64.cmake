# Cross-compiling the 64-bit (x86_64) Windows tree: the deliverables for
# 64-bit clients (script hosts, Office macros) and every test. Doubles are
# SSE2 doubles on x86_64 already.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_mingw x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
