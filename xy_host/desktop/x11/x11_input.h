#pragma once

#include "desktop/desktop.h"
#include "desktop/x11/x11_connection.h"

namespace morel_xy {

// Synthetic input through XTest.
class X11Input {
 public:
  explicit X11Input(X11Connection& connection);
  ~X11Input();

  void ConfigureSyntheticInput();
  bool PostMouseEvent(const PostedMouseEvent& event);
  bool PostScrollEvent(const PostedScrollEvent& event);
  bool PostKeyEvent(const PostedKeyEvent& event);
  bool PostUnicodeKeyEvent(const PostedUnicodeKeyEvent& event);
  double DoubleClickInterval();

 private:
  X11Connection& connection_;
};

}  // namespace morel_xy
