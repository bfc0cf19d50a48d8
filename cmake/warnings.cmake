# First-party targets link morel_warnings; third-party code never sees these flags.
#
# Warnings are errors in the README's commands and in CI (MOREL_WERROR=ON), where the compiler
# and flags are ours. Off by default: a packager's compiler or optimisation level may raise a
# new warning, sometimes a false one, and that must not fail their build.
option(MOREL_WERROR "Treat compiler warnings as errors" OFF)

add_library(morel_warnings INTERFACE)
target_compile_options(morel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  -Wcast-align -Wunused -Woverloaded-virtual
  -Wimplicit-fallthrough)
if(MOREL_WERROR)
  target_compile_options(morel_warnings INTERFACE -Werror)
endif()
# GCC 12 at -O3 reports overlapping copies inside std::string's operator+ that cannot happen
# (GCC bug 105329, fixed in 13); with the tests built at Release it fails them on Debian 12.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(morel_warnings INTERFACE -Wno-restrict)
endif()
