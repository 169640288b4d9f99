#pragma once
// The engine's file layer, passed through the platform's fault seam: every write, flush and
// truncation the engine makes asks sys::CheckIo first, so a test can give the data store a full
// disk or a failing flush as it gives one to any other file. Otherwise the engine's own unix
// layer does the work unchanged.

struct sqlite3_vfs;

namespace db {

// The name of the layer, registered on first use (not as the default).
const char* FaultSeamVfs();

}  // namespace db
