# Read by CPack before it builds the packages: morel-xy-host's description says which
# extensions its manifests let start the host, or that it carries none.
# One extension a line, so that no line of the description grows too long.
set(_ids "")
foreach(id IN LISTS CPACK_MOREL_EXTENSION_IDS)
  list(APPEND _ids "Chrome or Chromium extension ${id}")
endforeach()
foreach(id IN LISTS CPACK_MOREL_FIREFOX_IDS)
  list(APPEND _ids "Firefox add-on ${id}")
endforeach()
list(JOIN _ids ",\n" _ids)
if(_ids)
  set(_manifests "This package installs system-wide native-messaging manifests that let
these extensions start the host:
${_ids}.")
else()
  set(_manifests "This package installs no native-messaging manifest, so no browser starts
the host until one is written for the extension that uses it, for example
with /usr/share/${CPACK_MOREL_HOST_PACKAGE}/install-native-host
--host-path /usr/bin/morel_xy_host --extension-id <id>.")
endif()
set(CPACK_DEBIAN_XY_HOST_DESCRIPTION "browser native-messaging host for desktop automation
morel_xy_host is started by Chromium, Google Chrome or Firefox for a browser
automation extension. Over the native-messaging channel it moves and clicks
the mouse, turns the wheel, types Unicode text with key chords, reports the
browser window's rectangle, the displays and their scale, and finds a
rectangle of an exact colour in a capture of the browser window. It works
through X11 (XTest, XRandR, XShm).
.
${_manifests}")
