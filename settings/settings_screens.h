#pragma once
// The screens of the settings folder, registered by class name for the menus that open them.
namespace settings {
void RegisterSettingsScreens();
}  // namespace settings
