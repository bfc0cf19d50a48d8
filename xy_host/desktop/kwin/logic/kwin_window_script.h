#pragma once

#include <optional>
#include <string>

namespace morel_xy::kwin {

// Where a script loaded into KWin sends its answer: a method of the host's own object on the
// session bus, called with one string argument (callDBus).
struct ScriptCallback {
  std::string service;    // the host's unique or well-known bus name
  std::string path;       // its object
  std::string interface;  // and the interface of the method
  std::string method;
};

// The source of a KWin script that reports the windows, front to back, as one JSON document
// (read by ParseKWinWindows) to `callback`, then ends. It runs on KWin 6 (windowList,
// frameGeometry, activeWindow) and KWin 5 (clientList, geometry, activeClient) alike.
// nullopt when a part of the callback is not a valid D-Bus name or path, which the script
// could not quote safely.
std::optional<std::string> WindowListScript(const ScriptCallback& callback);

}  // namespace morel_xy::kwin
