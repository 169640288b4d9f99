#pragma once
// The print templates: three rows of PrintItemsSet (ModelNo 1-3, IsDefault, P1..P20 in the
// stored parameter order), exactly one of them the default. A parameter is printed only when
// its column holds exactly 1.
#include <cstdint>
#include <string>

class CADOConn;

// The P column number (1-20) of a parameter in display order.
int PrintItemColumn(int displayIndex);

// The flags of the default template, display order. False (and `out` untouched) when there is
// no default row; `modelNo` gets its number when given.
bool LoadDefaultPrintItems(CADOConn& conn, uint8_t out[20], int* modelNo = nullptr);
// The flags of template `modelNo`, display order; false (out untouched) without its row.
bool LoadPrintItems(CADOConn& conn, int modelNo, uint8_t out[20]);

// "update PrintItemsSet set P1=..,...,P20=..,IsDefault=1 where ModelNo=n" from display-order
// flags, and the statement that clears IsDefault on the others.
std::string PrintItemsUpdateSql(const uint8_t displayFlags[20], int modelNo);
std::string PrintItemsClearDefaultSql(int modelNo);
// Saves the template as the only default: both statements. False when either failed.
bool SaveDefaultPrintItems(CADOConn& conn, const uint8_t displayFlags[20], int modelNo);
