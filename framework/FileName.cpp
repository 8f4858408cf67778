#include "FileName.h"

namespace {

// Position of the last `c` in `s` as a signed number, -1 when there is none.
long last_of(const std::string& s, char c)
{
	std::string::size_type pos = s.rfind(c);
	return pos == std::string::npos ? -1 : static_cast<long>(pos);
}

}

std::string reext(const std::string& path, const std::string& extension)
{
	const long dot = last_of(path, '.');
	const long slash = last_of(path, '/');
	std::string result;
	if (dot > slash)
		result = path.substr(0, dot + 1);
	else
		result = path + ".";
	return result + extension;
}

std::string extract_file_folder_path_kernel(const std::string& path, int with_slash)
{
	const long slash = last_of(path, '/');
	if (slash < 0)
		return std::string();
	return path.substr(0, with_slash == 1 ? slash + 1 : slash);
}

std::string extract_file_name(const std::string& path)
{
	const long slash = last_of(path, '/');
	return slash < 0 ? path : path.substr(slash + 1);
}

std::string add_ext(const std::string& path, const std::string& extension)
{
	if (last_of(path, '.') > last_of(path, '/'))
		return path;
	return path + "." + extension;
}

std::string extract_file_body(const std::string& path)
{
	const long begin = last_of(path, '/') + 1;
	const long dot = last_of(path, '.');
	if (dot >= begin)
		return path.substr(begin, dot - begin);
	return path.substr(begin);
}

std::string extract_file_ext(const std::string& path)
{
	const long dot = last_of(path, '.');
	return dot < 0 ? std::string() : path.substr(dot + 1);
}

std::string trim(const std::string& text)
{
	const char* blanks = " \t";
	std::string::size_type first = text.find_first_not_of(blanks);
	if (first == std::string::npos)
		return std::string();
	std::string::size_type last = text.find_last_not_of(blanks);
	return text.substr(first, last - first + 1);
}
