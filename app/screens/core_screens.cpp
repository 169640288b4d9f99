#include "app/screens/screen_registry.h"

void RegisterCoreScreens() {}
