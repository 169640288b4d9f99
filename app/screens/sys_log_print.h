#pragma once
// The print-outs of the system log: on the built-in thermal printer (lines sent lowest first,
// the title last) and on the default page printer.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sys/clock.h"

struct SysLogRow {
  std::string date, time, event, result;
};

// The print date line of the language.
std::string SysLogPrintDateText(int language, const sys::LocalTime& t);

// Sends the whole thermal job (between the job's start and end messages, which the caller
// sends). Rows are printed from the last to the first while `cancel` is clear; the headings
// and the title are printed in every case.
void PrintSysLogTextJob(const std::vector<SysLogRow>& rows, int language, const sys::LocalTime& now,
                        const std::atomic<uint8_t>& cancel);

// The printers the log's page print-out puts on the continuous 210 x 279 mm paper: exactly
// these four names, letter case included.
bool IsSysLogDotMatrixPrinter(const std::string& name);

// Prints on the default page printer; false when there is none.
bool PrintSysLogGraphicsJob(const std::vector<SysLogRow>& rows, int language, const sys::LocalTime& now,
                            const std::atomic<uint8_t>& cancel);
