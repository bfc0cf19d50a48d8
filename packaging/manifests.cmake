# Run by CPack after it has installed the files of each package into its staging folder:
# writes morel-xy-host's native-messaging manifests for the extension ids of the build, with
# scripts/install-native-host, for the installed program /usr/bin/morel_xy_host.
#
# Firefox reads /usr/lib/mozilla/native-messaging-hosts, which holds the file itself. Chrome and
# Chromium read only /etc/opt/chrome/... and /etc/chromium/...: those get symbolic links to
# files under /usr/share. A file in /etc would be a configuration file, which dpkg keeps when
# the package is removed, leaving a manifest that names a program no longer there; a link goes
# with the package. Debian reserves /etc/opt for software outside the distribution, which
# lintian reports as an error; Google Chrome is such software and reads no other folder, so the
# package overrides that tag for Chrome's folder alone.
set(_staging "${CPACK_TEMPORARY_DIRECTORY}/xy_host")
if(NOT IS_DIRECTORY "${_staging}")
  return()  # morel-xy-host is not among the packages being built
endif()
if(NOT CPACK_MOREL_EXTENSION_IDS AND NOT CPACK_MOREL_FIREFOX_IDS)
  return()
endif()

set(_args --system --host-path "${CPACK_PACKAGING_INSTALL_PREFIX}/bin/morel_xy_host")
foreach(id IN LISTS CPACK_MOREL_EXTENSION_IDS)
  list(APPEND _args --extension-id "${id}")
endforeach()
foreach(id IN LISTS CPACK_MOREL_FIREFOX_IDS)
  list(APPEND _args --firefox-extension-id "${id}")
endforeach()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${_staging}"
          bash "${CPACK_MOREL_INSTALL_SCRIPT}" ${_args}
  RESULT_VARIABLE _result OUTPUT_VARIABLE _output ERROR_VARIABLE _output)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "writing the package's native-messaging manifests failed:\n${_output}")
endif()

set(_shared "/usr/share/${CPACK_MOREL_HOST_PACKAGE}/native-messaging-hosts")
foreach(browser chrome chromium)
  if(browser STREQUAL chrome)
    set(_etc_dir "/etc/opt/chrome/native-messaging-hosts")
  else()
    set(_etc_dir "/etc/chromium/native-messaging-hosts")
  endif()
  file(GLOB _manifests "${_staging}${_etc_dir}/*.json")
  foreach(manifest IN LISTS _manifests)
    get_filename_component(_name "${manifest}" NAME)
    file(MAKE_DIRECTORY "${_staging}${_shared}/${browser}")
    file(RENAME "${manifest}" "${_staging}${_shared}/${browser}/${_name}")
    file(CREATE_LINK "${_shared}/${browser}/${_name}" "${manifest}" SYMBOLIC)
  endforeach()
endforeach()

if(IS_DIRECTORY "${_staging}/etc/opt/chrome")
  file(WRITE "${_staging}/usr/share/lintian/overrides/${CPACK_MOREL_HOST_PACKAGE}"
       "# Google Chrome reads system-wide native-messaging manifests only from /etc/opt/chrome.\n"
       "${CPACK_MOREL_HOST_PACKAGE}: dir-or-file-in-etc-opt [etc/opt/chrome/*]\n")
endif()
