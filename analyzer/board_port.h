#pragma once
// The board link's port and its settings, and the frame builder every talking screen uses.
#include <cstdint>

#include "analyzer/frame.h"
#include "analyzer/serial_port.h"

namespace analyzer {

inline constexpr unsigned kBoardPortNumber = 4;  // "COM4"
inline constexpr unsigned kBoardBaud = 115200;
inline constexpr wchar_t kBoardParity = L'N';
inline constexpr unsigned kBoardDataBits = 8;
inline constexpr unsigned kBoardStopBits = 1;
inline constexpr uint32_t kBoardEventMask = kEvRxChar | kEvCts;  // 9
inline constexpr uint32_t kBoardWriteBufferSize = 512;

// Opens the board port for an owner and starts its worker: 1, or 0 when the port cannot be
// opened (the callers show their own message).
int OpenBoardPort(CSerialPort& port, ByteSink owner);

// Builds a command frame and queues it on the port; `sent`, when given, keeps a copy (the
// frame a screen sends again on a resend). Returns the port's QueueWrite result.
int QueueCommand(CSerialPort& port, uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0,
                 CommandFrame* sent = nullptr);

}  // namespace analyzer
