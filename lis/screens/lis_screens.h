#pragma once
// Registers the LIS screens by class name (CCommuSel, CCommSet, CDlgLis, CSerSend) so the
// settings and list screens open them with RunScreen.
namespace lis {
void RegisterLisScreens();
}
