// Taking BeOS paths apart: "/" separates folders, and an extension is the
// part after the last "." of the file name.
#ifndef FRAMEWORK_FILE_NAME_H
#define FRAMEWORK_FILE_NAME_H

#include <string>

// `path` with its extension replaced by `extension` (given without a dot).
// A dot in a folder name is never taken for an extension:
// "/a/song.mp3" → "/a/song.lrc", "/a.dir/song" → "/a.dir/song.lrc".
std::string reext(const std::string& path, const std::string& extension);

// The part of `path` before its last "/", with that "/" when `with_slash`
// is 1; an empty string when `path` has no "/".
std::string extract_file_folder_path_kernel(const std::string& path, int with_slash);

// The part after the last "/", or the whole `path` when it has none.
std::string extract_file_name(const std::string& path);

// `path` unchanged when its file name already has an extension, else
// `path` + "." + `extension`.
std::string add_ext(const std::string& path, const std::string& extension);

// The file name without its extension.
std::string extract_file_body(const std::string& path);

// The text after the last "." of `path` (folders included), or an empty
// string when there is none.
std::string extract_file_ext(const std::string& path);

// `text` without leading and trailing blanks and tabs.
std::string trim(const std::string& text);

#endif
