#pragma once
// What the QC screens share: their message boxes (the Chinese text also written as a log line),
// button captions, and the screens the menus open by name.
#include <cstdint>
#include <memory>
#include <string>

#include "analyzer/serial_port.h"
#include "core/ado_conn.h"
#include "lis/lis_send.h"

#include "platform/ui/window.h"

namespace qc {

// Shows `text` with the box type (ui::MB_...) and returns the answer. In Chinese the text is
// also written to the log.
int QcMessage(ui::Window* owner, const std::string& text, unsigned type);

// Captions in the language.
std::string HelpButtonText(int language);
std::string DeleteButtonText(int language);
std::string PrintButtonText(int language);
std::string SendButtonText(int language);

// The run screens' message line when the data store did not take a control result.
std::string ResultNotSavedText(int language);

// The questions before deleting every result of a list, and the results picked in a table: true
// when the operator answered OK.
bool ConfirmDeleteAll(ui::Window* owner, int language);
bool ConfirmDeleteSelected(ui::Window* owner, int language);
// "Please select a logical range!": a selection outside a list's results.
std::string LogicalRangeText(int language);

// The message when a QC file holds no runs to show or send.
std::string NoQcDataText(int language);

// Opens the LIS send screen on a result list's grid with the kind of its runs and (L-J, X-R) the
// QC file number. Picked columns outside the list's results (columns firstRun..lastRun) are
// dropped from the pick first, so a target, limit or empty column never goes out as a run.
// Returns the screen's answer.
int SendQcRunsToLis(lis::SendDataKind kind, CGridCtrl& grid, int fileNo, int firstRun, int lastRun);

// What a control run shows for a mechanical fault report DD `command` `code`: DD 90 and DD 91
// the needle; the count's own DD 01..03 nothing (the count runs into its time-out); any other
// DD frame by its code 2 liquid syringe, 3 carriage, 4 needle, 5 pressure syringe. Empty when
// nothing is shown; `error` tells the error icon from the warning icon.
std::string BoardFaultText(uint8_t command, uint8_t code, int language, bool* error);

// The LIS serial port (COM1) with the CommSet settings (115200 baud, 8 data bits, no parity, 1
// stop bit without a row), its reader started, `owner` receiving its bytes; null when it does
// not open.
std::unique_ptr<analyzer::CSerialPort> OpenLisTextPort(CADOConn& conn, ui::Window* owner);

// Registers CQCSel and the QC screens it opens.
void RegisterQcScreens();

}  // namespace qc
