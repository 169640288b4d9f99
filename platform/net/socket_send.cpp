#include "platform/net/socket_send.h"

#include <sys/socket.h>

#include <cerrno>

#include "platform/sys/file_io.h"

namespace net {

long SendSome(int socket, const void* data, size_t size, int flags) {
  const sys::IoFault f = sys::CheckIo(sys::IoOp::Send, "socket");
  if (f.error != 0) {
    errno = f.error;
    return -1;
  }
  if (size > f.limit) size = f.limit;
  return static_cast<long>(::send(socket, data, size, flags | MSG_NOSIGNAL));
}

}  // namespace net
