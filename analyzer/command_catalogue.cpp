#include "analyzer/command_catalogue.h"

#include <algorithm>
#include <iterator>

#include "analyzer/frame.h"

namespace analyzer {
namespace {

constexpr uint8_t A = FrameClassCommand, B = FrameClassData, C = FrameClassStatus,
                  D = FrameClassFault, R = FrameClassResend, E = FrameClassDebug;

const CommandInfo kCatalogue[] = {
    {A, 0x00, 0, "next count of the same sample"},
    {A, 0x01, 2, "start a count, whole blood"},
    {A, 0x02, 2, "start a count, pre-diluted"},
    {A, 0x03, 2, "start a count, peripheral blood"},
    {A, 0x04, 2, "blank count"},
    {A, 0x05, 1, "start-up procedure"},
    {A, 0x10, 0, "back flush"},
    {A, 0x11, 0, "end of count"},
    {A, 0x20, 0, "drain the chambers"},
    {A, 0x21, 0, "drain the chambers, second command"},
    {A, 0x30, 0, "drain and refill the reagent pipeline"},
    {A, 0x31, 0, "prime diluent"},
    {A, 0x32, 0, "prime lyse"},
    {A, 0x33, 0, "prime cleanser"},
    {A, 0x40, 0, "clean the chambers"},
    {A, 0x50, 0, "soak, first step"},
    {A, 0x51, 0, "soak, second step"},
    {A, 0x52, 0, "remove a clog"},
    {A, 0x53, 0, "clear a block"},
    {A, 0x54, 0, "wake after stand-by"},
    {A, 0x60, 0, "check the sampling needle"},
    {A, 0x61, 0, "check the carriage"},
    {A, 0x62, 0, "check the liquid syringe"},
    {A, 0x63, 0, "check the pressure syringe"},
    {A, 0x70, 0, "valve 1"}, {A, 0x71, 0, "valve 2"}, {A, 0x72, 0, "valve 3"},
    {A, 0x73, 0, "valve 4"}, {A, 0x74, 0, "valve 5"}, {A, 0x75, 0, "valve 6"},
    {A, 0x76, 0, "valve 7"}, {A, 0x77, 0, "valve 8"}, {A, 0x78, 0, "valve 9"},
    {A, 0x79, 0, "valve 10"}, {A, 0x7A, 0, "valve 11"},
    {A, 0x7B, 0, "all valves"},
    {A, 0x80, 1, "ZYDW1"}, {A, 0x81, 1, "ZYDW2"}, {A, 0x82, 1, "ZYDW3"}, {A, 0x83, 1, "ZYDW4"},
    {A, 0x84, 1, "MKDYDW1"}, {A, 0x85, 1, "MKDYDW2"}, {A, 0x86, 1, "MKDYDW3"}, {A, 0x87, 1, "MKDYDW4"},
    {A, 0x88, 2, "FPRESSURE"},
    {A, 0x89, 2, "APRESSURE"},
    {A, 0x90, 0, "enter sample mode"},
    {A, 0x91, 0, "leave sample mode"},
    {A, 0xA1, 1, "power down"},
    {A, 0xA2, 0, "dispense diluent"},
    {A, 0xA3, 2, "needle offset 1"}, {A, 0xA4, 2, "needle offset 2"}, {A, 0xA5, 2, "needle offset 3"},
    {A, 0xA6, 2, "needle offset 4"}, {A, 0xA7, 2, "needle offset 5"},
    {A, 0xA9, 1, "reagent alarm mode"},
    {A, 0xAA, 0, "reagent sensor query"},
    {A, 0xB0, 1, "PARA1"}, {A, 0xB1, 1, "PARA2"}, {A, 0xB2, 1, "PARA3"}, {A, 0xB3, 1, "PARA4"},
    {A, 0xFF, 0, "reset"},
    {B, 0x01, 0, "WBC histogram"},
    {B, 0x02, 0, "RBC histogram"},
    {B, 0x03, 0, "PLT histogram"},
    {B, 0x04, 0, "run header"},
    {C, 0x80, 0, "temperature"},
    {C, 0x81, 0, "pressure"},
    {C, 0x82, 0, "board version"},
    {D, 0x00, 0, "checksum error notice"},
    {R, 0x01, 0, "send the last frame again"},
    {E, 0x00, 1, "60V output"},
    {E, 0x01, 1, "power saving mode"},
    {E, 0x02, 1, "motor enable"},
    {E, 0x03, 2, "X-axis motor"},
    {E, 0x04, 2, "Z-axis motor"},
    {E, 0x05, 2, "injector"},
    {E, 0x06, 2, "pressure pump"},
    {E, 0x07, 2, "liquid level setting"},
    {E, 0x08, 2, "pressure target"},
    {E, 0x09, 2, "needle position 1"},
    {E, 0x10, 2, "needle position 2"},
    {E, 0x11, 2, "needle position 3"},
    {E, 0x12, 2, "needle position 4"},
    {E, 0x13, 2, "needle position 5"},
};

}  // namespace

const CommandInfo* FindCommand(uint8_t cls, uint8_t command) {
  for (const CommandInfo& c : kCatalogue)
    if (c.cls == cls && c.command == command) return &c;
  return nullptr;
}

const CommandInfo* CommandCatalogue(size_t* count) {
  if (count) *count = std::size(kCatalogue);
  return kCatalogue;
}

uint8_t StartCommandForBloodMode(int bloodMode) {
  switch (bloodMode) {
    case 1: return cmd::StartPeripheral;
    case 2: return cmd::StartPrediluted;
    default: return cmd::StartWholeBlood;
  }
}

bool IsResentOnRefusal(uint8_t command) {
  static const uint8_t kList[] = {0x10, 0x20, 0x21, 0x30, 0x31, 0x32, 0x33, 0x40, 0x50, 0x51};
  return std::find(std::begin(kList), std::end(kList), command) != std::end(kList);
}

uint8_t NeedlePositionCommand(int position) {
  if (position == 1) return 0x09;
  if (position >= 2 && position <= 5) return static_cast<uint8_t>(0x10 + position - 2);
  return 0;
}

double TemperatureFromRaw(unsigned raw) { return raw / 4095.0 * 300.0; }

}  // namespace analyzer
