# First-party targets link morel_warnings; third-party code never sees these flags.
add_library(morel_warnings INTERFACE)
target_compile_options(morel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  -Wcast-align -Wunused -Woverloaded-virtual
  -Wimplicit-fallthrough -Werror)
