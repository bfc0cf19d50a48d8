#include "host/run_morel_xy_host.h"

#include "host/morel_xy_host.h"

namespace morel_xy {

int RunMorelXYHost(Desktop& desktop, FILE* in, FILE* out) {
  MorelXYHost host(desktop, "screenshot.bmp", in, out);
  return host.Process();
}

}  // namespace morel_xy
