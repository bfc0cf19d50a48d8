#pragma once

namespace ocr::engine {

// Points file descriptor 2 at /dev/null for its lifetime and restores it afterwards.
// Image codec libraries (libpng, libtiff, libjpeg through Leptonica) print their own
// warnings and errors to stderr, which carries only the tool's messages. Not thread-safe:
// the whole process's stderr is redirected, so use it only around single-threaded calls
// that report failure through their results.
class QuietStderr {
 public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace ocr::engine
