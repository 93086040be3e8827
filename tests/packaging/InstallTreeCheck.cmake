# Installs the whole project into a fresh prefix and checks what a user or a packager relies on:
# every file in its place, the icons at their sizes, a valid desktop entry, the programs finding
# the Common library in the prefix, and the installed renderer at work. Run with cmake -P; see
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

# Only the two programs and the shared library: no test or bench program, no static library.
file(GLOB programs RELATIVE "${prefix}/${BINDIR}" "${prefix}/${BINDIR}/*")
list(SORT programs)
file(GLOB_RECURSE archives "${prefix}/*.a")
if(NOT programs STREQUAL "pictanote;pictanote-render" OR archives)
  message(FATAL_ERROR "installed beyond the programs: ${programs} ${archives}")
endif()

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

if(NOT DESKTOP_FILE_VALIDATE OR NOT UPDATE_MIME_DATABASE)
  message(FATAL_ERROR "desktop-file-validate or update-mime-database is missing "
    "(tools/deps.sh installs them)")
endif()
run(${DESKTOP_FILE_VALIDATE} "${prefix}/${DATADIR}/applications/pictanote.desktop")

# The file type compiles into a MIME database that maps *.ptn to it.
run(${UPDATE_MIME_DATABASE} "${prefix}/${DATADIR}/mime")
file(STRINGS "${prefix}/${DATADIR}/mime/globs2" globs REGEX "x-pictanote-work")
if(NOT globs STREQUAL "50:application/x-pictanote-work:*.ptn")
  message(FATAL_ERROR "the MIME database has no *.ptn glob: ${globs}")
endif()

# The installed programs load their libraries, the Common library from the prefix and not from
# the build tree.
foreach(program pictanote pictanote-render)
  execute_process(COMMAND ldd "${prefix}/${BINDIR}/${program}" OUTPUT_VARIABLE libraries)
  if(libraries MATCHES "not found")
    message(FATAL_ERROR "${program} misses libraries:\n${libraries}")
  endif()
endforeach()
execute_process(COMMAND ldd "${prefix}/${BINDIR}/pictanote" OUTPUT_VARIABLE libraries)
string(FIND "${libraries}" "libpictanote-common.so.1 => ${prefix}/" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the installed program does not find the Common library in the prefix:\n"
    "${libraries}")
endif()
set(renderer "${prefix}/${BINDIR}/pictanote-render")
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
