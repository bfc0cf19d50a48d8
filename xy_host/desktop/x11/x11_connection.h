#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

namespace morel_xy::x11 {

// One Xlib connection that never ends the process: X protocol errors are trapped instead of
// reaching Xlib's default handler (which exits), and a lost connection marks the connection
// dead instead of exiting. Single-threaded: use from the thread that opened it.
class X11Connection {
 public:
  // Opens the display Xlib chooses (DISPLAY). nullptr when none can be opened.
  static std::unique_ptr<X11Connection> Open();
  ~X11Connection();

  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  Display* display() const { return m_display; }
  Window root() const { return m_root; }
  int screen() const { return m_screen; }
  // False once the connection to the server was lost; every later request fails.
  bool alive() const;

  // The desktop's device scale: Xft.dpi / 96 from the server's resource database, read anew
  // on each call; 1.0 when unset or not a positive number.
  double DesktopScale() const;

  // Looks up (and creates) an atom.
  Atom InternAtom(const char* name) const;

  // Whether the server is Xwayland: its root holds no pixels, only its windows do. Asked once
  // per connection.
  bool IsXwayland();

 private:
  explicit X11Connection(Display* display);

  Display* m_display;
  Window m_root;
  int m_screen;
  int m_xwayland = -1;  // unknown until asked
};

// Traps X protocol errors for a scope. Finish() waits for the server to process everything
// sent so far and tells whether it all succeeded.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(const X11Connection& connection);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // True when no X error arrived since construction and the connection is alive. Syncs.
  bool Finish();

 private:
  const X11Connection& m_connection;
  unsigned long m_errorsBefore;
};

}  // namespace morel_xy::x11
