#include "qc/qc_names.h"

#include "core/param_order.h"

namespace qc {

const char* const kDisplayNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%",   "MID%",   "GRA%", "RBC", "HGB", "HCT",
                                       "MCV", "MCH",  "MCHC", "RDW-SD", "RDW-CV", "PLT", "MPV",  "PDW", "PCT", "P-LCR"};
const char* const kChartNames[20] = {"WBC",  "RBC", "HGB", "PLT",    "LYM#",   "MID#", "GRA#", "LYM%", "MID%", "GRA%",
                                     "MCHC", "MCH", "MCV", "RDW-CV", "RDW-SD", "HCT",  "MPV",  "PDW",  "PCT",  "P-LCR"};
const int kStoreFromChart[20] = {0, 7, 8, 15, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 16, 17, 18, 19};

int StoreFromDisplay(int display) { return display >= 0 && display < 20 ? kDisplayFromStore[display] : -1; }

int DisplayFromStore(int store) {
  for (int d = 0; d < 20; ++d)
    if (kDisplayFromStore[d] == store) return d;
  return -1;
}

}  // namespace qc
