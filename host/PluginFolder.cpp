#include "PluginFolder.h"

#include <filesystem>
#include <system_error>

std::string default_plugin_folder(const std::string& programFolder)
{
	namespace fs = std::filesystem;
	fs::path program(programFolder);
	if (program.has_relative_path() && program.filename().empty())
		program = program.parent_path();
	const fs::path beside = program / "plugins";
	std::error_code error;
	if (fs::is_directory(beside, error))
		return beside.string();
	const fs::path installed
		= (program / ".." / "lib" / "melodeck" / "plugins").lexically_normal();
	if (program.filename() == "bin" && fs::is_directory(installed, error))
		return installed.string();
	return beside.string();
}
