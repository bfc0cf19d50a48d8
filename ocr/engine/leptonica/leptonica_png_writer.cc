#include "engine/leptonica/leptonica_png_writer.h"

#include <fcntl.h>
#include <leptonica/allheaders.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>

#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {
namespace {

// Leptonica reports its own failures on stderr, which carries only the tool's messages; its
// failures show in its results. Its handler is the process's, set once.
void DropLeptonicaMessages() {
  static std::once_flag dropped;
  std::call_once(dropped, [] { leptSetStderrHandler([](const char*) {}); });
}

bool WriteAll(const std::string& path, const uint8_t* data, size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      ok = false;
      break;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return ::close(fd) == 0 && ok;
}

}  // namespace

bool LeptonicaPngWriter::Write(const Bitmap& bitmap, const std::string& path) {
  const auto* pixBitmap = dynamic_cast<const PixBitmap*>(&bitmap);
  if (pixBitmap == nullptr) return false;
  DropLeptonicaMessages();
  // Encoded in memory, then written here: page workers may be writing the tool's messages to
  // stderr meanwhile, so the codecs' own chatter cannot be silenced by pointing file descriptor
  // 2 elsewhere, and a file that cannot be written is reported by the caller alone.
  l_uint8* data = nullptr;
  size_t size = 0;
  if (pixWriteMem(&data, &size, pixBitmap->pix(), IFF_PNG) != 0 || data == nullptr) return false;
  const std::unique_ptr<l_uint8, void (*)(void*)> owned(data, lept_free);
  return WriteAll(path, data, size);
}

}  // namespace ocr::engine
