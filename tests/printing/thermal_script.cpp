#include "thermal_script.h"

#include "printing/thermal_printer.h"
#include "recording_output.h"

ThermalScript& ThermalScript::Text(const std::string& row, int n, int d, int cr) {
  ops.push_back([=] { PrinterPrintText(row, static_cast<uint8_t>(n), static_cast<uint8_t>(d), cr); });
  return *this;
}
ThermalScript& ThermalScript::Feed(int dots) {
  ops.push_back([=] { PrinterFeedDots(1, static_cast<uint8_t>(dots)); });
  return *this;
}
ThermalScript& ThermalScript::Separator() {
  ops.push_back([] { PrinterSendDc3Pattern(3); });
  return *this;
}
ThermalScript& ThermalScript::EscU(int flag) {
  ops.push_back([=] { PrinterSendEscU(flag); });
  return *this;
}
ThermalScript& ThermalScript::Spacing(int n) {
  ops.push_back([=] { PrinterSetCharSpacing(static_cast<uint8_t>(n)); });
  return *this;
}
ThermalScript& ThermalScript::Then(std::function<void()> op) {
  ops.push_back(std::move(op));
  return *this;
}
ThermalScript& ThermalScript::Append(const ThermalScript& other) {
  ops.insert(ops.end(), other.ops.begin(), other.ops.end());
  return *this;
}

std::string ThermalScript::Play() const {
  RecordingOutput out;
  for (const auto& op : ops) op();
  return out.bytes;
}
