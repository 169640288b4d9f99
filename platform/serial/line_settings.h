#pragma once
// Conversion between the layer's Settings record and a termios structure.
#include <termios.h>

#include "platform/serial/port.h"

namespace serial {

// Raw mode with the given line settings: no echo, no canonical input, no output processing,
// receiver on, modem-control lines ignored, reads return as soon as one byte is there.
// The settings must have passed ValidateSettings.
void MakeRawTermios(const Settings& s, termios* t);

// The line settings a termios structure describes. False when its speed or character size is
// not one the layer knows (the other fields are filled anyway).
bool SettingsFromTermios(const termios& t, Settings* s);

// The termios speed constant of a baud rate, or 0 when it is not accepted.
speed_t SpeedOf(int baud);

}  // namespace serial
