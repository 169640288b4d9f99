#pragma once
// The 20 blood parameters live in two orders. The tables, the stored arrays and the algorithm
// results use the store order (WBC LYMA MONA GRAA LYMP MONP GRAP RBC HGB MCHC MCH MCV RDWCV RDWSD
// HCT PLT MPV PDW PCT PLCR); screens and reports use the display order (WBC LYM# MID# GRA# LYM%
// MID% GRA% RBC HGB HCT MCV MCH MCHC RDW-SD RDW-CV PLT MPV PDW PCT P-LCR). Only positions 9, 10,
// 11, 12 and 14 differ.
//
// Every function permutes in place. Applying one to an array that is already in the target order
// scrambles it, so a caller converts each array exactly once.
#include <cstdint>
#include <string>

inline constexpr int kParamCount = 20;

// Display position i holds store position kDisplayFromStore[i].
extern const int kDisplayFromStore[kParamCount];

void ReorderParamsForDisplay(float* values);               // 20 floats, store -> display
void ReorderParamsForStore(float* values);                 // 20 floats, display -> store
void ReorderParamBytesForDisplay(uint8_t* flags);          // 20 bytes, store -> display
void ReorderParamBytesForStore(uint8_t* flags);            // 20 bytes, display -> store
void ReorderParamTextsForDisplay(std::string* texts);      // 20 texts, store -> display
void ReorderParamTextsForStore(std::string* texts);        // 20 texts, display -> store
void ReorderLimitPairsForDisplay(float* pairs);            // 40 floats, (low, high) per parameter
void ReorderLimitPairsForStore(float* pairs);

// True only for sample mode 2 (pre-diluted).
bool IsPrediluteMode(int mode);
