#pragma once
// Texts and error kinds for socket failures, shared by the client and the listener.
#include <sys/socket.h>

#include <string>

#include "platform/net/tcp_client.h"

namespace net {

// "what: <system text>".
std::string ErrnoText(const std::string& what, int err);
// The error kind and an operator-readable text for a failed connect, send or receive with `peer`.
Status FromErrno(int err, const std::string& peer);
// "127.0.0.1:5100" or "[::1]:5100".
std::string AddressText(const sockaddr* a);

}  // namespace net
