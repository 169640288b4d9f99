#pragma once
// The screens the menus open, by the class names the screens carry (CSampleTest, CHistoryList,
// CSysSet ...). A screen library registers how to run its screen; a menu runs it by name. A
// screen that no library has registered yet tells the operator that the function is not
// available yet, so every button of a menu does something visible.
#include <functional>
#include <string>
#include <vector>

// Runs the screen modally (constructed with no parent) and returns its result.
using ScreenRunner = std::function<int()>;

// Registers (or replaces) the runner of a screen class. An empty runner removes it.
void RegisterScreen(const std::string& className, ScreenRunner run);
bool IsScreenAvailable(const std::string& className);
// Runs the screen; without a runner shows NotAvailableText and returns IDCANCEL.
int RunScreen(const std::string& className);
// The names registered so far.
std::vector<std::string> RegisteredScreens();

// "This function is not available." in the language (English outside 0..4): a screen nobody
// registered, or a helper program this computer does not have.
std::string NotAvailableText(int language);

// Registers the screens of the application core (About, stand-by, log-on, system
// information, status, statistics, system log, backup and restore).
void RegisterCoreScreens();
