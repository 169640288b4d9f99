#include "analyzer/sequences/process_values.h"

namespace analyzer {

BlankHistogramBuffers BlankHistograms;
uint16_t RunHeaderValue = 0xFFFF;
int BlankCountPhase = 1;
uint8_t BoardParametersSent = 0;
uint8_t StartupBlankEvaluated = 0;
uint8_t StartupLogWritten = 0;
SampleCounterValues SampleCounters;
uint8_t ShutdownRowWritten = 0;
uint8_t StartupStoreRead = 0;
SoakValues Soak;
int ShutdownDotsCount = 1;

}  // namespace analyzer
