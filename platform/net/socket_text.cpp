#include "platform/net/socket_text.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>

namespace net {

std::string ErrnoText(const std::string& what, int err) { return what + ": " + std::strerror(err); }

Status FromErrno(int err, const std::string& peer) {
  switch (err) {
    case ECONNREFUSED:
      return {Error::Refused, "connection refused by " + peer};
    case ETIMEDOUT:
      return {Error::TimedOut, "the connection to " + peer + " timed out"};
    case ENETUNREACH: case EHOSTUNREACH: case EHOSTDOWN: case ENETDOWN:
      return {Error::Unreachable, peer + " cannot be reached"};
    case ECONNRESET: case ECONNABORTED: case ENETRESET:
      return {Error::Reset, "the connection was reset by " + peer};
    case EPIPE:
      return {Error::Closed, "the connection was closed by " + peer};
    default:
      return {Error::Io, ErrnoText("the connection to " + peer + " failed", err)};
  }
}

std::string AddressText(const sockaddr* a) {
  char host[INET6_ADDRSTRLEN] = "?";
  unsigned port = 0;
  if (a->sa_family == AF_INET) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(a);
    ::inet_ntop(AF_INET, &in->sin_addr, host, sizeof host);
    port = ntohs(in->sin_port);
    return std::string(host) + ":" + std::to_string(port);
  }
  if (a->sa_family == AF_INET6) {
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(a);
    ::inet_ntop(AF_INET6, &in6->sin6_addr, host, sizeof host);
    port = ntohs(in6->sin6_port);
    return "[" + std::string(host) + "]:" + std::to_string(port);
  }
  return "?";
}

}  // namespace net
