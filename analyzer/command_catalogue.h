#pragma once
// The commands and reports of the front-end board, by class and command byte.
#include <cstdint>
#include <string_view>

namespace analyzer {

// Class 0xAA: operations (the board answers AA xx FF when done).
namespace cmd {
constexpr uint8_t NextCount = 0x00;
constexpr uint8_t StartWholeBlood = 0x01;
constexpr uint8_t StartPrediluted = 0x02;
constexpr uint8_t StartPeripheral = 0x03;
constexpr uint8_t BlankCount = 0x04;
constexpr uint8_t StartupProcedure = 0x05;
constexpr uint8_t BackFlush = 0x10;
constexpr uint8_t EndOfCount = 0x11;
constexpr uint8_t DrainChambers = 0x20;
constexpr uint8_t DrainChambers2 = 0x21;
constexpr uint8_t PrimeAll = 0x30;
constexpr uint8_t PrimeDiluent = 0x31;
constexpr uint8_t PrimeLyse = 0x32;
constexpr uint8_t PrimeCleanser = 0x33;
constexpr uint8_t CleanChambers = 0x40;
constexpr uint8_t SoakStep1 = 0x50;
constexpr uint8_t SoakStep2 = 0x51;
constexpr uint8_t RemoveClog = 0x52;
constexpr uint8_t ClearBlock = 0x53;
constexpr uint8_t Wake = 0x54;
constexpr uint8_t CheckNeedle = 0x60;
constexpr uint8_t CheckCarriage = 0x61;
constexpr uint8_t CheckLiquidSyringe = 0x62;
constexpr uint8_t CheckPressureSyringe = 0x63;
constexpr uint8_t Valve1 = 0x70;        // .. 0x7A valve 11
constexpr uint8_t AllValves = 0x7B;
constexpr uint8_t Zydw1 = 0x80;         // .. 0x83 ZYDW4
constexpr uint8_t Mkdydw1 = 0x84;       // .. 0x87 MKDYDW4
constexpr uint8_t FPressure = 0x88;
constexpr uint8_t APressure = 0x89;
constexpr uint8_t EnterSampleMode = 0x90;
constexpr uint8_t LeaveSampleMode = 0x91;
constexpr uint8_t PowerDown = 0xA1;
constexpr uint8_t DispenseDiluent = 0xA2;
constexpr uint8_t Needle1 = 0xA3;       // .. 0xA7 needle offset 5
constexpr uint8_t SetReagentAlarmMode = 0xA9;
constexpr uint8_t ReagentQuery = 0xAA;
constexpr uint8_t Para1 = 0xB0;         // .. 0xB3 PARA4
constexpr uint8_t Reset = 0xFF;
}  // namespace cmd

// Class 0xBB: data requests.
namespace data {
constexpr uint8_t WbcHistogram = 0x01;
constexpr uint8_t RbcHistogram = 0x02;
constexpr uint8_t PltHistogram = 0x03;
constexpr uint8_t RunHeader = 0x04;
}  // namespace data

// Class 0xCC: status queries and reports.
namespace status {
constexpr uint8_t Temperature = 0x80;
constexpr uint8_t Pressure = 0x81;
constexpr uint8_t Version = 0x82;
constexpr uint8_t LyseSensor = 0x83;
constexpr uint8_t CleanserSensor = 0x84;
constexpr uint8_t DiluentSensor = 0x85;
constexpr uint8_t CountKey = 0xFF;
}  // namespace status

// Class 0xDD from the board.
namespace fault {
constexpr uint8_t ChecksumNotice = 0x00;  // from the PC: the frame received failed its check
constexpr uint8_t CouplerFault = 0xA8;    // DD A8 n, reported on its own
}  // namespace fault

// Class 0xEF: engineering commands.
namespace debug {
constexpr uint8_t Output60V = 0x00;
constexpr uint8_t PowerSaving = 0x01;
constexpr uint8_t MotorEnable = 0x02;
constexpr uint8_t MoveX = 0x03;
constexpr uint8_t MoveZ = 0x04;
constexpr uint8_t MoveInjector = 0x05;
constexpr uint8_t MovePressurePump = 0x06;
constexpr uint8_t LiquidLevel = 0x07;
constexpr uint8_t PressureTarget = 0x08;
constexpr uint8_t NeedlePosition1 = 0x09;  // then 0x10 .. 0x13 for positions 2 to 5
}  // namespace debug

struct CommandInfo {
  uint8_t cls;
  uint8_t command;
  uint8_t paramCount;        // parameter bytes the command carries (p1, p2)
  std::string_view name;     // what the command does, for traces and the simulator
};

// The entry for a frame class and command, or nullptr when the board knows no such command.
const CommandInfo* FindCommand(uint8_t cls, uint8_t command);
// Every known PC-to-board command, in class and command order.
const CommandInfo* CommandCatalogue(size_t* count);

// Start command of a blood mode: 0 whole blood AA 01, 1 peripheral AA 03, 2 pre-diluted AA 02.
uint8_t StartCommandForBloodMode(int bloodMode);

// Commands whose refusal DD xx FF is answered by sending AA xx again.
bool IsResentOnRefusal(uint8_t command);

// Debug-class needle position command for position 1..5 (0x09, 0x10 .. 0x13); 0 otherwise.
uint8_t NeedlePositionCommand(int position);

// Temperature of a CC 80 report: (byte 3 * 256 + byte 4) / 4095 * 300 degrees.
double TemperatureFromRaw(unsigned raw);

}  // namespace analyzer
