#pragma once
// What the QC screens share: their message boxes (the Chinese text also written as a log line),
// button captions, and the screens the menus open by name.
#include <string>

#include "platform/ui/window.h"

namespace qc {

// Shows `text` with the box type (ui::MB_...) and returns the answer. In Chinese the text is
// also written to the log.
int QcMessage(ui::Window* owner, const std::string& text, unsigned type);

// Captions in the language.
std::string HelpButtonText(int language);
std::string DeleteButtonText(int language);
std::string PrintButtonText(int language);
std::string SendButtonText(int language);

// Sending a file's L-J results to the LIS goes through the LIS send screen; until the LIS
// subsystem is part of the program this says so. Returns the screen's answer.
int SendLjResultsToLis(int fileNo);

// Registers CQCSel and the QC screens it opens.
void RegisterQcScreens();

}  // namespace qc
