#include "print_error.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace ocr {

void PrintError(std::string_view message) {
  std::string line = "error: ";
  line.append(message);
  line.push_back('\n');
  // One write(2) call keeps the line whole; retry only what a signal or a short write left.
  const char* data = line.data();
  size_t left = line.size();
  while (left > 0) {
    ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
}

}  // namespace ocr
