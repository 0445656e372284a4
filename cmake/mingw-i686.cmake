# Cross-compiling the 32-bit (i686) Windows tree: the deliverables for the
# host application and every 32-bit client, and every test.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_mingw i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Doubles computed as IEEE 754 doubles (SSE2), not in the x87 unit's wider
# registers: sums and comparisons of amounts come out the same as in the
# native builds, bit for bit.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
