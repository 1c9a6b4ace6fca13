# Every program carries an application manifest, version information and the product
# icon; the saver host also its description as string 1, by which the display properties
# name a screen saver. The resource script is made from src/resources/program.rc.in.
# Its debug information is split off (qv_split_debug_info).
function(qv_program_resources target)
  cmake_parse_arguments(arg "" "FILE_NAME;DESCRIPTION;SAVER_NAME" "" ${ARGN})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/resources/${target})
  set(QV_RES_NAME ${target})
  set(QV_RES_FILE_NAME ${arg_FILE_NAME})
  set(QV_RES_DESCRIPTION ${arg_DESCRIPTION})
  set(QV_RES_ICON ${QV_ICON_DIR}/mainicon.ico)
  set(QV_RES_MANIFEST ${dir}/${target}.manifest)
  set(QV_RES_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
  set(QV_RES_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
  if(arg_SAVER_NAME)
    set(QV_RES_STRINGS "STRINGTABLE\nBEGIN\n  1 \"${arg_SAVER_NAME}\"\nEND")
  else()
    set(QV_RES_STRINGS "")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/program.manifest.in ${QV_RES_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/program.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  set_source_files_properties(${dir}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${QV_RES_MANIFEST};${QV_ICONS}")
  qv_split_debug_info(${target})
endfunction()

# The built file keeps no debug information of its own: it goes to FILE.debug beside it,
# named in the file's debug link, where debuggers find it. A program is loaded at every
# start of the screen saver, and the saver host's file was four fifths debug information
# (14 MB against 3 MB), read by the loader for nothing.
#
# objcopy writes a new PE header, with the time of day as its time stamp unless
# SOURCE_DATE_EPOCH says otherwise: 0, as the linker leaves it (--no-insert-timestamp), so
# that the program and its .debug file (whose CRC the debug link carries) are the same in
# every build of the same source.
function(qv_split_debug_info target)
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE:${target}>
            $<TARGET_FILE:${target}>.debug
    COMMAND ${objcopy} --strip-all
            --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
