#include "engine/tesseract/openmp_thread_limit.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace ocr::engine {

void EnsureSingleThreadedOpenMp(char** argv) {
  const char* limit = std::getenv("OMP_THREAD_LIMIT");
  if (limit != nullptr && std::strcmp(limit, "1") == 0) return;
  if (setenv("OMP_THREAD_LIMIT", "1", 1) != 0) return;
  // /proc/self/exe is this very program, wherever argv[0] points.
  ::execv("/proc/self/exe", argv);
}

}  // namespace ocr::engine
