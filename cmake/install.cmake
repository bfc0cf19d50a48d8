# What `cmake --install` and the packages install, in three components:
#   ocr                 the ocr program, its manual page and documents    (package morel-ocr)
#   native_host         morel_xy_host alone, and the manifests for the     (package morel-xy-host)
#                       configured ids; scripts/install-native-host --build-dir installs this
#                       component, and its uninstall removes the program again
#   native_host_extras  the host's manual page, documents and manifest writer
#                                                                          (package morel-xy-host)
# Each package carries its documents (README, copyright, changelog) in its own folder of
# /usr/share/doc.
include(GNUInstallDirs)

# The Debian package names; the documents' folders are named after them.
set(MOREL_OCR_PACKAGE morel-ocr)
set(MOREL_HOST_PACKAGE morel-xy-host)
set(MOREL_PACKAGE_MAINTAINER "morel developers <morel-devel@example.org>" CACHE STRING
    "Who the packages and their changelogs name as maintainer")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ocr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ocr)
install(TARGETS morel_xy_host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT native_host)
# So that the package's user can write the manifests for the extensions they use.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/install-native-host
        DESTINATION ${CMAKE_INSTALL_DATADIR}/${MOREL_HOST_PACKAGE} COMPONENT native_host_extras)

# Manual pages and changelogs go in gzipped, as Debian wants them; gzip -n keeps the bytes
# independent of the build's time.
find_program(MOREL_GZIP gzip REQUIRED)
function(morel_gzipped_copy source output)
  get_filename_component(dir ${output} DIRECTORY)
  get_filename_component(name ${output} NAME_WLE)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${dir}/${name}
                     COMMAND ${MOREL_GZIP} -9nf ${dir}/${name}
                     DEPENDS ${source} VERBATIM)
endfunction()

set(MOREL_MAN_DIR ${PROJECT_BINARY_DIR}/man)
set(_morel_docs "")
foreach(page ocr.1 morel_xy_host.1)
  configure_file(${PROJECT_SOURCE_DIR}/man/${page}.in ${MOREL_MAN_DIR}/${page} @ONLY)
  morel_gzipped_copy(${MOREL_MAN_DIR}/${page} ${MOREL_MAN_DIR}/gz/${page}.gz)
  list(APPEND _morel_docs ${MOREL_MAN_DIR}/gz/${page}.gz)
endforeach()

# A changelog per package: these packages are the project's own (native), so their changelog
# is changelog.gz.
string(TIMESTAMP MOREL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
foreach(package ${MOREL_OCR_PACKAGE} ${MOREL_HOST_PACKAGE})
  set(MOREL_CHANGELOG_PACKAGE ${package})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in
                 ${PROJECT_BINARY_DIR}/doc/${package}/changelog @ONLY)
  morel_gzipped_copy(${PROJECT_BINARY_DIR}/doc/${package}/changelog
                     ${PROJECT_BINARY_DIR}/doc/${package}/gz/changelog.gz)
  list(APPEND _morel_docs ${PROJECT_BINARY_DIR}/doc/${package}/gz/changelog.gz)
endforeach()
add_custom_target(morel_docs ALL DEPENDS ${_morel_docs})

install(FILES ${MOREL_MAN_DIR}/gz/ocr.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ocr)
install(FILES ${MOREL_MAN_DIR}/gz/morel_xy_host.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT native_host_extras)
foreach(component ocr native_host_extras)
  if(component STREQUAL ocr)
    set(package ${MOREL_OCR_PACKAGE})
  else()
    set(package ${MOREL_HOST_PACKAGE})
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
                ${PROJECT_BINARY_DIR}/doc/${package}/gz/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

# With extension ids configured, installing the native_host component also writes the browsers'
# native-messaging manifests naming the installed program (see scripts/install-native-host):
#   cmake -B build -DMOREL_NATIVE_HOST_EXTENSION_IDS=<id>[;<id>...]
#   cmake --install build --component native_host [--prefix /usr/local]
# The package build writes its own, system-wide (packaging/manifests.cmake).
set(MOREL_NATIVE_HOST_EXTENSION_IDS "" CACHE STRING
    "Chrome/Chromium extension ids allowed to start morel_xy_host (installs their manifests)")
set(MOREL_NATIVE_HOST_FIREFOX_IDS "" CACHE STRING
    "Firefox add-on ids allowed to start morel_xy_host (installs their manifests)")
set(MOREL_NATIVE_HOST_SYSTEM OFF CACHE BOOL
    "Install the manifests into the system-wide folders instead of the user's")
if(MOREL_NATIVE_HOST_EXTENSION_IDS OR MOREL_NATIVE_HOST_FIREFOX_IDS)
  set(_morel_manifest_args "")
  foreach(id IN LISTS MOREL_NATIVE_HOST_EXTENSION_IDS)
    list(APPEND _morel_manifest_args --extension-id ${id})
  endforeach()
  foreach(id IN LISTS MOREL_NATIVE_HOST_FIREFOX_IDS)
    list(APPEND _morel_manifest_args --firefox-extension-id ${id})
  endforeach()
  if(MOREL_NATIVE_HOST_SYSTEM)
    list(APPEND _morel_manifest_args --system)
  endif()
  # `cmake --install` and `ninja install` run this script in script mode; CPack reads it in a
  # process of its own, where the user's folders must not end up in the package.
  install(CODE "
    if(CMAKE_SCRIPT_MODE_FILE)
      execute_process(
        COMMAND bash \"${PROJECT_SOURCE_DIR}/scripts/install-native-host\" ${_morel_manifest_args}
                --host-path \"\${CMAKE_INSTALL_PREFIX}/bin/morel_xy_host\"
        RESULT_VARIABLE _morel_result)
      if(NOT _morel_result EQUAL 0)
        message(FATAL_ERROR \"writing the native-messaging manifests failed\")
      endif()
    endif()"
    COMPONENT native_host)
endif()
