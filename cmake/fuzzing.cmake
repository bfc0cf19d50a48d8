# libFuzzer builds (MOREL_BUILD_FUZZERS=ON): every first-party target is compiled with
# coverage instrumentation and ASan + UBSan, so the fuzz targets in fuzz/ see the host's and
# ocr's own code, not only their entry points. Needs clang (CC=clang CXX=clang++); use a build
# folder of its own (scripts/run-fuzzers does).
if(MOREL_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MOREL_BUILD_FUZZERS needs clang: configure with CC=clang CXX=clang++")
  endif()
  # The sanitizers come from sanitizers.cmake; this adds the coverage the fuzzer steers by.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
