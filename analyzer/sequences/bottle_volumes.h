#pragma once
// The bottle volumes screen's logic: checking the typed volumes of new bottles (litres), and
// storing them with today's date as the replacement date. The remaining volumes in memory
// change only after the store took them.
#include <string>

class CADOConn;

namespace analyzer {

// A plain decimal number with a point: blanks around it, an optional leading '-', digits, at
// most one '.', at least one digit. "-5" is a number; "1,5", "1.5.2" and "-" are not.
bool IsVolumeText(const std::string& text);

enum class BottleCheck { Ok, NotNumeric, OutOfRange };
// selector: 0 all three, 1 diluent, 2 lyse, 3 cleanser. Every text must be a number; only the
// chosen reagents must lie in (0, 100].
BottleCheck CheckBottleVolumes(const std::string texts[3], int selector, float litres[3]);
std::string BottleCheckMessage(BottleCheck c, int language);

// The store text for the selector, volumes in litres, date "%d-%d-%d".
std::string BottleVolumesSql(int selector, const float litres[3], const std::string& date);

// Stores the new bottles and, when that worked, sets the remaining volumes (litres x 1000 mL).
// False when the store failed: nothing in memory changed.
bool StoreBottleVolumes(CADOConn& conn, int selector, const float litres[3]);

}  // namespace analyzer
