#pragma once
// Names and orders of the 20 parameters in the QC screens: display order (run tables, lists,
// choices), store order (tables) and chart order (the L-J chart and its print-outs).
namespace qc {

// Display-order names: WBC LYM# MID# GRA# LYM% MID% GRA% RBC HGB HCT MCV MCH MCHC RDW-SD RDW-CV
// PLT MPV PDW PCT P-LCR.
extern const char* const kDisplayNames[20];
// Chart-order names: WBC RBC HGB PLT LYM# MID# GRA# LYM% MID% GRA% MCHC MCH MCV RDW-CV RDW-SD
// HCT MPV PDW PCT P-LCR.
extern const char* const kChartNames[20];
// Store position of each chart position.
extern const int kStoreFromChart[20];
// Display position of a store position.
int DisplayFromStore(int store);
// Store position of a display position.
int StoreFromDisplay(int display);

}  // namespace qc
