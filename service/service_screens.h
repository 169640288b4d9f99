#pragma once
// Registers the service screens by class name: the maintenance menu and what it opens by name,
// the diluent instruction screen and the service tools screen.
namespace service {

void RegisterServiceScreens();

}  // namespace service
