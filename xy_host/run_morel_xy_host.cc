#include "run_morel_xy_host.h"

#include "impl/desktop_access.h"
#include "impl/input_setup.h"
#include "morel_xy_host.h"

namespace morel_xy {

int RunMorelXYHost(Desktop& desktop, FILE* in, FILE* out) {
  impl::SetDesktop(&desktop);
  int code;
  {
    MorelXYHost host(0, in, out);
    impl::Init();
    code = host.Process();
  }
  impl::SetDesktop(nullptr);
  return code;
}

}  // namespace morel_xy
