// Where the player finds its plug-ins when the command line names none.
#ifndef HOST_PLUGIN_FOLDER_H
#define HOST_PLUGIN_FOLDER_H

#include <string>

// The plug-ins folder of the player in `programFolder` (the folder of the
// running program): "plugins" beside it, as a build leaves it, else
// <prefix>/lib/melodeck/plugins for a player installed in <prefix>/bin.
// When neither is a folder, the one beside the program, so that the
// message about it names the usual place.
std::string default_plugin_folder(const std::string& programFolder);

#endif
