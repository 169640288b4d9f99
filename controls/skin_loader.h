#pragma once
// Skin bitmaps for the owner-drawn controls. The skin files are written beside the program by
// the skin generator; RegisterSkinBitmaps puts each of them into the resource store under its
// numeric id, read from its file (or drawn when the file is missing or unreadable) when a
// screen first shows it, so controls load a skin by id.
//
// A control loads its skin at each paint with LoadSkinBitmap. When that fails the failure is
// written to the debug output (once per id and text) and the control draws a plain look
// instead: a paint never opens a message box, which would paint again beneath itself.
#include <string>
#include <vector>

#include "platform/ui/draw/bitmap.h"

// Registers every skin bitmap the controls and screens name, and the skin's icons
// (RegisterSkinIcons). `programFolder` ends in '/'; empty: the program folder of this run.
// Ids already in the store are left as they are. Returns how many bitmap ids were registered.
int RegisterSkinBitmaps(const std::string& programFolder = std::string());

// Puts the icons the screens name (application, key pad, print hint, busy pop-up) into the
// resource store: each from its PNG file in the skin folder, or drawn when the file is missing
// or unreadable. Icons already in the store are left as they are. Returns how many were added.
int RegisterSkinIcons(const std::string& programFolder = std::string());

// The bitmap of `id` from the resource store, or a null bitmap after logging `failureText`.
draw::Bitmap LoadSkinBitmap(unsigned id, const char* failureText);

// Skin load failures logged so far, as "<id>: <text>" (tests and diagnostics).
std::vector<std::string> SkinLoadFailures();
void ClearSkinLoadFailures();
