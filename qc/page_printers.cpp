#include "qc/page_printers.h"

#include <strings.h>

namespace qc {

bool IsDotMatrixPrinter(const std::string& name) {
  for (const char* model :
       {"EPSON LX-300+", "Jolimark LQ-300KII", "Panasonic KX-P1121", "EPSON LQ-300K+II", "EPSON LQ-300+II ESC/P2"})
    if (strcasecmp(name.c_str(), model) == 0) return true;
  return false;
}

bool HasSmallPointMarks(const std::string& name) { return strcasecmp(name.c_str(), "EPSON LX-300+") == 0; }

}  // namespace qc
