// The text and delete handlers of the slot-mode command walk.
#pragma once

#include <string>

#include "install/Installer.h"
#include "install/View.h"

namespace install {

// "textfile" entry file line [count]: replaces count lines of file from line on by lines of
// entry, saving the replaced ones. True when the target was processed.
bool DoTextFile(Installer& installer, const std::string& gameFolder);
// "deletefile" file.
void DoDeleteFile(Installer& installer, View& view, const std::string& gameFolder);

// Deletes gameFolder + "\" + name when the name stays inside the folder (shared by both walks).
void DeleteGameFile(const std::string& gameFolder, const std::string& name);

}  // namespace install
