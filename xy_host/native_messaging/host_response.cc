#include "native_messaging/host_response.h"

namespace morel {

HostResponse HostResponse::Error(const std::string& message) {
  HostResponse response;
  response.m_json["error"] = json::array({"message", message});
  return response;
}

}  // namespace morel
