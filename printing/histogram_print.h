#pragma once
// The histogram print-outs of every report: the stored raw histograms of a sample, and the
// WBC, RBC and PLT curves with their divider lines and the flags line, drawn from the
// algorithm library's display histograms for those raw histograms (re-run per print-out with
// the count time of EngineeringAdjust and the calibration factors of the blood type).
#include <cstdint>
#include <functional>
#include <string>

class CADOConn;
class RPrintHelper;

// Where "Load Zentil.dll failed!" goes besides the log (a print thread shows no box itself; a
// screen installs a hook that shows it on the UI thread).
using HistogramMessageHook = std::function<void(const std::string& text)>;
void SetHistogramMessageHook(HistogramMessageHook hook);
// The library file the print-outs bind; empty (the default) is libZentil.so in the program folder.
void SetHistogramLibraryPath(const std::string& path);

// The raw record of a stored sample (2560 bytes: WBC 256, RBC 256, PLT 128 floats) from TD.dat
// through its index TDI.dat in the program folder; false when either file or the key is
// missing (the buffer is then untouched).
bool ReadTestDataRecord(uint8_t* buffer, const std::string& testDate, const std::string& sampleNo);
// The same from the files of `folder` (ending in '/').
bool ReadTestDataRecordIn(const std::string& folder, uint8_t* buffer, const std::string& testDate,
                          const std::string& sampleNo);
// The three histograms of a record read above.
void SplitTestDataRecord(const uint8_t* record, float wbc[256], float rbc[256], float plt[128]);

// What the library gives a print-out for a sample: display histograms and divider positions.
// The count-time setting every re-run of the library on stored histograms uses (the print-outs
// and the result view): the low byte of EngineeringAdjust.WBCTIME, 5 without a row or with a
// null value. The library takes it in whole seconds (5 gives 0 s).
uint8_t HistogramCountTimeSetting(CADOConn& conn);

struct PrintedHistograms {
  uint8_t wbc[256] = {}, rbc[256] = {}, plt[128] = {};
  // Channels: WBC first line, line 1, line 2, last line; RBC lower, upper; PLT lower, upper.
  uint16_t lines[8] = {};
  // Marker positions in fL after the caller's markers are applied: WBC 15, m2, m3, last;
  // RBC 25, upper; PLT m1, m2.
  float wbcMarkers[4] = {}, rbcMarkers[2] = {}, pltMarkers[2] = {};
  // First channel drawn: WBC first line - 3 (never below 0), RBC lower line, PLT lower line.
  int firstChannel[3] = {};
};
// Re-runs the library on the raw histograms with the database's count time and calibration,
// then applies the caller's markers (a pair replaces the library's when either is above 0).
PrintedHistograms ComputePrintedHistograms(const float wbc[256], const float rbc[256], const float plt[128],
                                           int bloodType, float wbcMarker2, float wbcMarker3, float pltMarker1,
                                           float pltMarker2);

// The flags caption of the language, followed by `flags` ("Flags:LF1 ", or "Flags: %s" on pages).
std::string ThermalFlagsLine(const std::string& flags, int language);
std::string PageFlagsLine(const std::string& flags, int language);

// Prints the flags line and the three histograms (PLT, RBC, WBC as sent) on the thermal
// printer; the page size is set to the full 360 x 150 dot page first and put back afterwards.
void PrintHistogramsThermal(const float wbc[256], const float rbc[256], const float plt[128], const std::string& flags,
                            int bloodType, float wbcMarker2, float wbcMarker3, float pltMarker1, float pltMarker2,
                            int language);
// Draws them on a page: layout 1 stacked in the right part of the page, 0 side by side across
// it, anything else nothing (the library still runs). `firstLine` and every row count in lines
// of `lineHeight` (0: the character height of the selected font).
void PrintHistogramsGdi(const float wbc[256], const float rbc[256], const float plt[128], int layout,
                        RPrintHelper& helper, float firstLine, const std::string& flags, int bloodType, int lineHeight,
                        float wbcMarker2, float wbcMarker3, float pltMarker1, float pltMarker2, int language);
