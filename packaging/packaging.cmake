# Debian packages of the two programs, built by CPack (`make package`, or `cpack` in the build
# folder): morel-ocr from the ocr component, morel-xy-host from the native_host and
# native_host_extras components (the group xy_host; see cmake/install.cmake).
#
# Two packages rather than one: they share no file and nothing at run time, and their
# dependencies differ entirely. ocr needs Tesseract, Poppler and the language data (tens of
# MiB) and no display; the host needs only the X libraries, and is installed where a browser
# runs, with manifests naming the extensions of one deployment.
#
# Dependencies are the shared libraries the binaries link (dpkg-shlibdeps) plus what ocr reads
# at run time without linking it: English recognition data is required, the other languages
# ocr knows are recommended. Version: the project's with the release's suffix (below);
# architecture: the build machine's (dpkg --print-architecture).
#
# Manifests: configure with -DMOREL_NATIVE_HOST_EXTENSION_IDS=<id>[;<id>...] and/or
# -DMOREL_NATIVE_HOST_FIREFOX_IDS=<id>[;<id>...] and morel-xy-host carries system-wide manifests
# for exactly those extensions (packaging/manifests.cmake); without ids it carries none and its
# description says so (packaging/project_config.cmake). `cpack -D CPACK_MOREL_EXTENSION_IDS=...`
# overrides the ids of one package build.

# The release the packages are built for marks their version, as Debian's backports mark
# theirs: packages built on Debian 12 and on Debian 13 depend on different library versions
# and are told apart by name ("1.0.31~deb12", "1.0.31~deb13"; "~" sorts them below the plain
# version, and the Debian 13 one above the Debian 12 one, so an upgraded system takes it).
if(NOT DEFINED MOREL_PACKAGE_RELEASE_SUFFIX)
  set(_morel_release_suffix "")
  if(EXISTS /etc/os-release)
    file(STRINGS /etc/os-release _morel_os_id REGEX "^ID=")
    file(STRINGS /etc/os-release _morel_os_version REGEX "^VERSION_ID=")
    string(REGEX REPLACE "^ID=\"?([^\"]*)\"?$" "\\1" _morel_os_id "${_morel_os_id}")
    string(REGEX REPLACE "^VERSION_ID=\"?([^\"]*)\"?$" "\\1" _morel_os_version
                         "${_morel_os_version}")
    if(_morel_os_id STREQUAL "debian" AND _morel_os_version MATCHES "^[0-9]+$")
      set(_morel_release_suffix "~deb${_morel_os_version}")
    endif()
  endif()
  set(MOREL_PACKAGE_RELEASE_SUFFIX "${_morel_release_suffix}" CACHE STRING
      "Suffix of the packages' version naming the release they are built for")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}${MOREL_PACKAGE_RELEASE_SUFFIX})
set(CPACK_PACKAGE_CONTACT "${MOREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ocr native_host native_host_extras)
set(CPACK_COMPONENT_NATIVE_HOST_GROUP xy_host)
set(CPACK_COMPONENT_NATIVE_HOST_EXTRAS_GROUP xy_host)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MOREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# md5sums and the other control files readable by all, as dpkg-deb builds them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_OCR_PACKAGE_NAME ${MOREL_OCR_PACKAGE})
set(CPACK_DEBIAN_OCR_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_OCR_PACKAGE_DEPENDS "tesseract-ocr-eng")
set(CPACK_DEBIAN_OCR_PACKAGE_RECOMMENDS
    "tesseract-ocr-fra, tesseract-ocr-ita, tesseract-ocr-deu, tesseract-ocr-spa, tesseract-ocr-por, tesseract-ocr-chi-sim, tesseract-ocr-chi-tra")
set(CPACK_DEBIAN_OCR_DESCRIPTION "text recogniser writing one JSON document per image or PDF
ocr recognises the text of an image (PNG, JPEG, TIFF, BMP, GIF, WebP) or of
the pages of a PDF document with Tesseract, line by line, cuts every line
into words with their boxes, and writes one JSON result document. It also
lists the installed recognition languages. A browser automation product runs
it once per document.
.
English recognition data is required; French, Italian, German, Spanish,
Portuguese and Chinese (simplified and traditional) are recommended.")

set(CPACK_DEBIAN_XY_HOST_PACKAGE_NAME ${MOREL_HOST_PACKAGE})
set(CPACK_DEBIAN_XY_HOST_PACKAGE_SECTION utils)

# Read by CPack when it builds the packages, so that `cpack -D` can change them.
set(CPACK_MOREL_EXTENSION_IDS "${MOREL_NATIVE_HOST_EXTENSION_IDS}")
set(CPACK_MOREL_FIREFOX_IDS "${MOREL_NATIVE_HOST_FIREFOX_IDS}")
set(CPACK_MOREL_INSTALL_SCRIPT "${PROJECT_SOURCE_DIR}/scripts/install-native-host")
set(CPACK_MOREL_HOST_PACKAGE ${MOREL_HOST_PACKAGE})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/project_config.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/manifests.cmake)

include(CPack)
