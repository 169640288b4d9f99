#include "core/param_order.h"

#include <array>
#include <utility>

const int kDisplayFromStore[kParamCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  14,
                                            11, 10, 9,  13, 12, 15, 16, 17, 18, 19};

namespace {

// Store position i holds display position kStoreFromDisplay[i] (the inverse of the table above).
constexpr int kStoreFromDisplay[kParamCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  12,
                                                11, 10, 14, 13, 9,  15, 16, 17, 18, 19};

// out[i] = in[map[i]], for elements made of `width` consecutive items.
template <class T>
void Permute(T* items, const int* map, int width) {
  std::array<T, kParamCount * 2> copy;
  for (int i = 0; i < kParamCount * width; ++i) copy[i] = items[i];
  for (int i = 0; i < kParamCount; ++i)
    for (int k = 0; k < width; ++k) items[i * width + k] = std::move(copy[map[i] * width + k]);
}

}  // namespace

void ReorderParamsForDisplay(float* v) { Permute(v, kDisplayFromStore, 1); }
void ReorderParamsForStore(float* v) { Permute(v, kStoreFromDisplay, 1); }
void ReorderParamBytesForDisplay(uint8_t* f) { Permute(f, kDisplayFromStore, 1); }
void ReorderParamBytesForStore(uint8_t* f) { Permute(f, kStoreFromDisplay, 1); }
void ReorderParamTextsForDisplay(std::string* t) { Permute(t, kDisplayFromStore, 1); }
void ReorderParamTextsForStore(std::string* t) { Permute(t, kStoreFromDisplay, 1); }
void ReorderLimitPairsForDisplay(float* p) { Permute(p, kDisplayFromStore, 2); }
void ReorderLimitPairsForStore(float* p) { Permute(p, kStoreFromDisplay, 2); }

bool IsPrediluteMode(int mode) { return mode == 2; }
