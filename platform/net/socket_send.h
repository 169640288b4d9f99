#pragma once
// One send(2) on a socket, through the platform's fault seam (sys::CheckIo with IoOp::Send), so
// a test can make a send fail or go out short.
#include <cstddef>

namespace net {

// send(2) with `flags` (MSG_NOSIGNAL is added): the bytes sent, or -1 with errno set.
long SendSome(int socket, const void* data, size_t size, int flags = 0);

}  // namespace net
