#pragma once

#include <QString>

// Where the program keeps what belongs to the user rather than to a document: its settings
// file and its state folder (the recovery copy of unsaved work). Neither is created here.
namespace Platform::UserFolders {

// The settings file. Linux: $XDG_CONFIG_HOME/pictanote/pictanote.conf, ~/.config when the
// variable is unset or not absolute. Windows: %APPDATA%\Pictanote\pictanote.ini (the roaming
// application-data folder; a file, not the registry).
QString SettingsFile();

// The program's state folder. Linux: $XDG_STATE_HOME/pictanote, ~/.local/state when the
// variable is unset or not absolute. Windows: %LOCALAPPDATA%\Pictanote (stays on this machine).
QString StateFolder();

}  // namespace Platform::UserFolders
