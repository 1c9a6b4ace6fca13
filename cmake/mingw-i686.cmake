# The deliverable: 32-bit PE programs.
set(QV_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
