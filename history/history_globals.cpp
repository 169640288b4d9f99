#include "history/history_globals.h"

namespace history {

std::string HistorySelectedTestDate;
std::string ShownResultValues[20];
std::string ShownResultMarks[20];
std::string ShownResultUnits[20];
ShownTexts ShownResultTexts;
float NormalLimitPairs[40] = {};
uint8_t PrintItemFlags[20] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
uint8_t PrintItemSelection[20] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
std::atomic<uint8_t> PrintCancelFlag{0};
int PrintPressCount = 0;

}  // namespace history
