# Run by CPack once the Debian package is made. CPack has the package call ldconfig from
# generated maintainer scripts because it holds a shared library in the loader's path; Debian
# asks for the ldconfig trigger instead, and the package needs no scripts otherwise (dpkg's file
# triggers refresh the menu, file-type and icon caches). So the scripts give way to the trigger:
# the package installs and removes without running any code of its own.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(root "${CPACK_TOPLEVEL_DIRECTORY}/triggers-root")
  file(REMOVE_RECURSE "${root}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${root}" COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    set(file "${root}/DEBIAN/${script}")
    if(NOT EXISTS "${file}")
      continue()
    endif()
    # Only the generated ldconfig call is replaced; a script with work of its own stays an error.
    file(READ "${file}" text)
    string(REGEX REPLACE "#!/bin/sh|set -e|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then|ldconfig|fi|[ \t\n]"
      "" rest "${text}")
    if(NOT rest STREQUAL "")
      message(FATAL_ERROR "${script} does more than call ldconfig:\n${text}")
    endif()
    file(REMOVE "${file}")
  endforeach()
  file(WRITE "${root}/DEBIAN/triggers" "activate-noawait ldconfig\n")
  execute_process(COMMAND dpkg-deb --root-owner-group --build "${root}" "${deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${root}")
endforeach()
