# Installs the whole project into a fresh prefix and checks what a user or a packager relies on:
# every file in its place, the icons at their sizes, a valid desktop entry, and the installed
# renderer running with the Common library from the prefix. Run with cmake -P; see
# tests/packaging/CMakeLists.txt for the variables.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")

set(expected
  ${BINDIR}/pictanote
  ${BINDIR}/pictanote-render
  ${LIBDIR}/libpictanote-common.so.1
  ${INCLUDEDIR}/pictanote/Common.h
  ${LIBDIR}/cmake/PictanoteCommon/PictanoteCommonConfig.cmake
  ${DATADIR}/applications/pictanote.desktop
  ${DATADIR}/mime/packages/pictanote.xml
  ${MANDIR}/man1/pictanote.1.gz
  ${MANDIR}/man1/pictanote-render.1.gz
  ${DATADIR}/doc/pictanote/copyright)
foreach(size IN LISTS ICON_SIZES)
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/pictanote.png)
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# A PNG's width and height are the two big-endian words at byte 16.
foreach(size IN LISTS ICON_SIZES)
  set(icon "${prefix}/${DATADIR}/icons/hicolor/${size}x${size}/apps/pictanote.png")
  file(READ "${icon}" signature LIMIT 8 HEX)
  file(READ "${icon}" dimensions OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${dimensions}" 0 8 width)
  string(SUBSTRING "${dimensions}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${icon}: ${width} x ${height}, not a ${size} x ${size} PNG")
  endif()
endforeach()

if(NOT DESKTOP_FILE_VALIDATE)
  message(FATAL_ERROR "desktop-file-validate is missing (tools/deps.sh installs it)")
endif()
run(${DESKTOP_FILE_VALIDATE} "${prefix}/${DATADIR}/applications/pictanote.desktop")

# The installed renderer must load the Common library from the prefix, not from the build tree.
set(renderer "${prefix}/${BINDIR}/pictanote-render")
execute_process(COMMAND ldd "${renderer}" OUTPUT_VARIABLE libraries)
string(REGEX MATCH "libpictanote-common[^\n]*" common "${libraries}")
if(NOT common MATCHES "=> ${prefix}/${LIBDIR}/libpictanote-common")
  message(FATAL_ERROR "the installed renderer does not find the Common library in the prefix:\n"
    "${libraries}")
endif()
execute_process(COMMAND "${renderer}" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 2)
  message(FATAL_ERROR "pictanote-render without arguments: exit ${rc}, not the usage exit 2")
endif()
set(bitmap "${WORK_DIR}/rendered.bmp")
run("${renderer}" "${WORK_FILE}" "${bitmap}")
file(READ "${bitmap}" signature LIMIT 2)
if(NOT signature STREQUAL "BM")
  message(FATAL_ERROR "the installed renderer wrote no bitmap")
endif()
message(STATUS "the install tree is complete")
