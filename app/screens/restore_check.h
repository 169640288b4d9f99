#pragma once
// What a restore checks in a backup folder before anything of the program is replaced: that the
// store is one of this program's stores and undamaged, and that the raw-data files belong
// together. Each check reads only; false with the reason in *why.
#include <string>

// The file is a database that passes the engine's integrity check and holds every table of the
// program's store with every column (the columns the start-up upgrade adds may be missing: an
// older store gets them on the next start).
bool IsProgramStore(const std::string& path, std::string* why);

// Every complete index record of `indexPath` (TDI.dat) has its data record inside `dataPath`
// (TD.dat). An incomplete index tail is no record (the next write replaces it).
bool RawFilesFit(const std::string& indexPath, const std::string& dataPath, std::string* why);

// Every result row of the store at `storePath` (a row with a count: WBC not empty) has its own
// raw record: its key stands in exactly one complete index record of `indexPath`, whose data
// record lies whole inside `dataPath`. Besides, TD.dat holds at most one record more than
// TDI.dat indexes (a write cut off between its data and its index): more means the two files
// come from different moments and the records no longer pair.
bool ResultsHaveTheirRecords(const std::string& storePath, const std::string& indexPath, const std::string& dataPath,
                             std::string* why);
