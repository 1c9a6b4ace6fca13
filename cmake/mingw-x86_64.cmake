# The same tree as 64-bit PE, for running the Wine tests where the kernel cannot run
# 32-bit programs (see docs/building.md).
set(QV_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
