# ASan + UBSan for the whole build (first-party code and the tests), so CI can run
# the test suite under the sanitizers as a separate build tree. Fuzzer builds use them too.
if(MOREL_SANITIZE OR MOREL_BUILD_FUZZERS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
