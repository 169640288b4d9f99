#pragma once
// Turning the paths the program writes Windows-style into paths on this machine.
//
//  * Backslashes become '/', and runs of separators collapse to one.
//  * Letter case: the program spells one file several ways ("Setting.ini", "setting.ini").
//    Each component of the path that does not exist as written is looked up in its folder
//    without regard to ASCII letter case; when a match exists it is used. Components after
//    the first one that matches nothing are kept as written, so a new file can be created.
//  * Drive paths: "X:\rest" maps to <drive root>/drive_x/rest, where the drive root is
//      - the environment variable QUORVEX_DRIVE_ROOT when set, else
//      - $XDG_DATA_HOME/quorvex when XDG_DATA_HOME is set, else
//      - $HOME/.local/share/quorvex (or /tmp/quorvex without HOME).
//    So the default backup folder "C:\QuorvexData" is ~/.local/share/quorvex/drive_c/QuorvexData
//    and the pulse dumps on "D:\" land in ~/.local/share/quorvex/drive_d/.
//    One drive can be placed elsewhere with QUORVEX_DRIVE_<LETTER> (e.g. QUORVEX_DRIVE_D=/data),
//    and tests set the root with SetDriveRoot.
//  * Anything else (an absolute POSIX path, a relative path) keeps its meaning.
#include <string>

namespace sys {

// Maps a path as described above. Never fails; an empty path stays empty.
std::string MapPath(const std::string& path);

// Backslashes to '/', repeated separators collapsed; no file system access.
std::string NormalizeSeparators(const std::string& path);

// The folder that stands for a drive letter (ending in '/'); empty for a non-letter.
std::string DriveFolder(char letter);

// Overrides the drive root for this process (tests); empty restores the environment rules.
void SetDriveRoot(const std::string& root);

// Resolves letter case of an existing path, component by component (no drive mapping).
std::string ResolveCase(const std::string& posixPath);

// ASCII case-insensitive comparison of two names.
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace sys
