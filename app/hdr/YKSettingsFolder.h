#pragma once

// Where setting files live: the user's settings folder ($XDG_CONFIG_HOME, else $HOME/.config)
// followed by "Tavernix/Gravik/".

#include <string>

// The user's settings folder. XDG_CONFIG_HOME counts only when it is an absolute path; false
// when neither it nor HOME gives one.
bool YK_FindUserSettingsFolder(std::string* folder);

// The folder of this application's setting files, ending in "/"; false when the user's
// settings folder cannot be found.
bool YK_FindGravikSettingsFolder(std::string* folder);
