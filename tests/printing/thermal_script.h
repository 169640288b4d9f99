#pragma once
// The expected side of a thermal report test: the rows and commands a report should send,
// written out by hand in sending order, played through the driver's own command senders into
// a recorder. A report is right when its bytes equal the played script's.
#include <functional>
#include <string>
#include <vector>

struct ThermalScript {
  std::vector<std::function<void()>> ops;

  ThermalScript& Text(const std::string& row, int n = 4, int d = 1, int cr = 1);
  ThermalScript& Feed(int dots);
  ThermalScript& Separator();
  ThermalScript& EscU(int flag);
  ThermalScript& Spacing(int n);
  ThermalScript& Then(std::function<void()> op);
  ThermalScript& Append(const ThermalScript& other);

  // The bytes the script sends (the printer state is reset before).
  std::string Play() const;
};
