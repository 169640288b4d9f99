#pragma once
// The normal ranges (NormalLimits) and panic limits (PathologyLimits) of the ten patient groups:
// one row per group (Kind 0-9), a low and a high limit per parameter. Both limits screens load,
// check, save and send one group at a time with these routines. In memory the 40 limits are
// low/high pairs in screen (display) order.
#include <string>

class CADOConn;

namespace settings {

enum class LimitTable { kNormal, kPanic };

const char* LimitTableName(LimitTable table);  // "NormalLimits" / "PathologyLimits"
// The 40 column names in table order (WBCL, WBCH, LYMAL ... PLCRH).
extern const char* const kLimitColumns[40];

// Fills `pairs` (screen order) from the group's row; zeros without a row, 0 for a NULL column.
// True when the row exists.
bool LoadLimitsOfGroup(CADOConn& conn, LimitTable table, int kind, float pairs[40]);

// Checks the 40 typed texts (screen order) step by step over all of them: length (8 characters
// after trimming), a number, 0..999999, low below high. Returns the message of the first failure
// ("" when all pass) and fills `pairs` when they pass.
std::string CheckLimitEntries(const std::string texts[40], int language, float pairs[40]);

// Inserts the group's row (when `rowExists` is false) or updates it, every value with two
// decimals. True only when the statement succeeded.
bool SaveLimitsOfGroup(CADOConn& conn, LimitTable table, int kind, const float pairs[40], bool rowExists);

// The 20 unit texts the limits screens show (screen order): the defaults, then the units row.
void LoadLimitUnitTexts(CADOConn& conn, std::string units[20]);

// The text record of one group for the LIS serial link, as it goes on the wire in the
// language's code page: "Normal," or "Panic,", the group name, then name, unit, low and high of
// each parameter in table order, the checksum (the sum of the record's bytes before it, in 16
// bits) and ",TRANSFER FINISH". Units and pairs in screen order. (limits_send.h sends it.)
std::string LimitsTextRecord(LimitTable table, const std::string& groupName, const std::string units[20],
                             const float pairs[40], int language);

// Texts of the checks and the save (also used by the screens).
std::string SettingSavedText(int language);

}  // namespace settings
