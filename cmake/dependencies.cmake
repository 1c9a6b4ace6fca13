# libjpeg-turbo, libpng, stb's resizer and GoogleTest, installed by scripts/setup.sh and never copied in.

if(WIN32 AND CMAKE_CROSSCOMPILING)
  # A static SIMD build for this mingw target, made from Debian's source package once and
  # cached beside the build trees.
  set(QV_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Where built dependencies are cached")
  execute_process(
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/build-libjpeg-mingw.sh" ${QV_MINGW_ARCH} "${QV_DEPS_DIR}"
    OUTPUT_VARIABLE qv_jpeg_prefix OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE qv_jpeg_result)
  if(NOT qv_jpeg_result EQUAL 0)
    message(FATAL_ERROR "building libjpeg-turbo for ${QV_MINGW_ARCH} failed")
  endif()
  string(REGEX REPLACE ".*\n" "" qv_jpeg_prefix "${qv_jpeg_prefix}")
  add_library(JPEG::JPEG STATIC IMPORTED GLOBAL)
  set_target_properties(JPEG::JPEG PROPERTIES
    IMPORTED_LOCATION "${qv_jpeg_prefix}/lib/libjpeg.a"
    INTERFACE_INCLUDE_DIRECTORIES "${qv_jpeg_prefix}/include")
  # libpng the same way, against the target's static zlib (libz-mingw-w64-dev).
  execute_process(
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/build-libpng-mingw.sh" ${QV_MINGW_ARCH} "${QV_DEPS_DIR}"
    OUTPUT_VARIABLE qv_png_prefix OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE qv_png_result)
  if(NOT qv_png_result EQUAL 0)
    message(FATAL_ERROR "building libpng for ${QV_MINGW_ARCH} failed")
  endif()
  string(REGEX REPLACE ".*\n" "" qv_png_prefix "${qv_png_prefix}")
  set(qv_zlib /usr/${QV_MINGW_ARCH}-w64-mingw32/lib/libz.a)
  if(NOT EXISTS "${qv_zlib}")
    message(FATAL_ERROR "${qv_zlib} not found (scripts/setup.sh installs libz-mingw-w64-dev)")
  endif()
  add_library(PNG::PNG STATIC IMPORTED GLOBAL)
  set_target_properties(PNG::PNG PROPERTIES
    IMPORTED_LOCATION "${qv_png_prefix}/lib/libpng.a"
    INTERFACE_INCLUDE_DIRECTORIES "${qv_png_prefix}/include"
    INTERFACE_LINK_LIBRARIES "${qv_zlib}")
else()
  find_package(JPEG REQUIRED)
  find_package(PNG REQUIRED)
endif()

# stb's resizer is one header with its implementation inside: the same file serves both
# builds. Only its folder is added, as a system one, so its warnings are not ours.
set(QV_STB_DIR /usr/include/stb CACHE PATH "stb's single-header libraries")
if(NOT EXISTS "${QV_STB_DIR}/stb_image_resize.h")
  message(FATAL_ERROR "stb_image_resize.h not found in ${QV_STB_DIR} (scripts/setup.sh installs it)")
endif()
add_library(Stb::Resize INTERFACE IMPORTED GLOBAL)
target_include_directories(Stb::Resize SYSTEM INTERFACE "${QV_STB_DIR}")

# GoogleTest from Debian's sources, built with this toolchain.
set(QV_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${QV_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
