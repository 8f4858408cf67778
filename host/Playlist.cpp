#include "Playlist.h"

#include "AudioInfo.h"

#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

// A playlist that names itself, or playlists that name each other, must
// not loop for ever; nor may playlists naming others many times over
// multiply into more loads than anyone could mean.
const int32 kMaxPlaylistDepth = 8;
const int32 kMaxPlaylistReads = 1000;
// Nor may one big playlist named many times make millions of entries: the
// text read in one expansion is bounded as well.
const std::uintmax_t kMaxExpansionText = 64 * 1024 * 1024;
// Nobody writes a playlist this big by hand; a bigger file is not one.
const std::uintmax_t kMaxPlaylistSize = 16 * 1024 * 1024;

std::string current_folder()
{
	char buffer[PATH_MAX];
	if (getcwd(buffer, sizeof(buffer)) == NULL)
		return "/";
	return buffer;
}

// `path` made absolute against `base`, with "." and ".." resolved by name
// (the file need not exist).
std::string absolute_path(const std::string& path, const std::string& base)
{
	std::filesystem::path result(path);
	if (result.is_relative())
		result = std::filesystem::path(base) / result;
	std::string normal = result.lexically_normal().string();
	if (normal.size() > 1 && normal.back() == '/')
		normal.pop_back();
	return normal;
}

std::string folder_of(const std::string& path)
{
	const size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return current_folder();
	if (slash == 0)
		return "/";
	return path.substr(0, slash);
}

// The file name without its folder and extension; a name that is all
// extension (".hidden") stays whole.
std::string title_from_name(const std::string& path)
{
	const size_t slash = path.rfind('/');
	std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
	const size_t dot = name.rfind('.');
	if (dot != std::string::npos && dot > 0)
		name.erase(dot);
	return name;
}

std::string format_length(int32 ms)
{
	char buffer[32];
	const int32 seconds = ms / 1000;
	snprintf(buffer, sizeof(buffer), "%d:%02d", (int)(seconds / 60), (int)(seconds % 60));
	return buffer;
}

bool is_valid_utf8(const std::string& text)
{
	const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
	const unsigned char* end = p + text.size();
	while (p < end) {
		const unsigned char c = *p;
		int follow;
		if (c < 0x80)
			follow = 0;
		else if (c >= 0xc2 && c <= 0xdf)
			follow = 1;
		else if (c >= 0xe0 && c <= 0xef)
			follow = 2;
		else if (c >= 0xf0 && c <= 0xf4)
			follow = 3;
		else
			return false;
		if (end - p <= follow)
			return false;
		for (int i = 1; i <= follow; i++) {
			if ((p[i] & 0xc0) != 0x80)
				return false;
		}
		p += follow + 1;
	}
	return true;
}

// Old .m3u files are often written in Latin-1. Titles are shown as UTF-8, so
// a title that is not valid UTF-8 is read as Latin-1. Paths stay bytes: that
// is how the file system names files.
std::string title_text(const std::string& text)
{
	if (is_valid_utf8(text))
		return text;
	std::string result;
	for (unsigned char c : text) {
		if (c < 0x80) {
			result += (char)c;
		} else {
			result += (char)(0xc0 | (c >> 6));
			result += (char)(0x80 | (c & 0x3f));
		}
	}
	return result;
}

int hex_value(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

std::string percent_decode(const std::string& text)
{
	std::string result;
	for (size_t i = 0; i < text.size(); i++) {
		if (text[i] == '%' && i + 2 < text.size()) {
			const int high = hex_value(text[i + 1]);
			const int low = hex_value(text[i + 2]);
			if (high >= 0 && low >= 0) {
				result += (char)(high * 16 + low);
				i += 2;
				continue;
			}
		}
		result += text[i];
	}
	return result;
}

std::string trim(const std::string& text)
{
	const char* blanks = " \t\r\n";
	const size_t first = text.find_first_not_of(blanks);
	if (first == std::string::npos)
		return std::string();
	const size_t last = text.find_last_not_of(blanks);
	return text.substr(first, last - first + 1);
}

// "#EXTINF:<seconds>[ attributes],<title>". Attributes may quote commas.
void parse_extinf(const std::string& line, int32* length, std::string* title)
{
	const std::string rest = line.substr(strlen("#EXTINF:"));
	const char* start = rest.c_str();
	char* end = NULL;
	const double seconds = strtod(start, &end);
	*length = end != start && seconds > 0 && seconds < 24.0 * 3600 * 24
		? (int32)(seconds * 1000 + 0.5) : 0;

	bool quoted = false;
	for (size_t i = 0; i < rest.size(); i++) {
		if (rest[i] == '"')
			quoted = !quoted;
		else if (rest[i] == ',' && !quoted) {
			*title = trim(rest.substr(i + 1));
			return;
		}
	}
	title->clear();
}

status_t read_playlist_text(const std::string& path, std::string* text)
{
	std::error_code error;
	const std::uintmax_t size = std::filesystem::file_size(path, error);
	if (error)
		return B_ENTRY_NOT_FOUND;
	if (size > kMaxPlaylistSize)
		return B_NO_MEMORY;
	std::ifstream in(path, std::ios::binary);
	if (!in)
		return B_PERMISSION_DENIED;
	text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
	if (in.bad())
		return B_IO_ERROR;
	// a byte-order mark is not part of the first line
	if (text->compare(0, 3, "\xef\xbb\xbf") == 0)
		text->erase(0, 3);
	return B_OK;
}

}

// #pragma mark -

bool Playlist::IsPlaylistFile(const std::string& path)
{
	const size_t dot = path.rfind('.');
	const size_t slash = path.rfind('/');
	if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
		return false;
	const char* extension = path.c_str() + dot + 1;
	return strcasecmp(extension, "m3u") == 0 || strcasecmp(extension, "m3u8") == 0;
}

status_t Playlist::AddPath(const std::string& path, Notes* notes)
{
	if (path.empty()) {
		notes->push_back("an empty path names no file");
		return B_BAD_VALUE;
	}
	Walk walk;
	return _AddLocation(absolute_path(path, current_folder()), std::string(), 0,
		notes, &walk);
}

status_t Playlist::AddFile(const std::string& path, Notes* notes)
{
	const std::string absolute = absolute_path(path, current_folder());
	AudioInfo info;
	if (!read_audio_info(absolute, &info)) {
		struct stat st;
		if (stat(absolute.c_str(), &st) != 0) {
			const int error = errno;
			notes->push_back(absolute + ": " + strerror(error));
			return B_ENTRY_NOT_FOUND;
		}
		if (!S_ISREG(st.st_mode) || !has_audio_extension(absolute)) {
			notes->push_back(absolute + ": not an audio file or playlist");
			return B_BAD_VALUE;
		}
		// named like audio but unreadable: keep it, it is what the user asked for
		notes->push_back(absolute + ": cannot read its tags or length");
	}

	PlaylistEntry entry;
	entry.filename = absolute;
	entry.title = info.title.empty() ? title_text(title_from_name(absolute)) : info.title;
	entry.length = info.length;
	if (entry.length <= 0) {
		notes->push_back(absolute + ": length unknown, plays as "
			+ format_length(kDefaultEntryLength));
	}
	AddEntry(entry);
	return B_OK;
}

status_t Playlist::AddFolder(const std::string& path, Notes* notes)
{
	const std::string folder = absolute_path(path, current_folder());
	DIR* dir = opendir(folder.c_str());
	if (dir == NULL) {
		const int error = errno;
		notes->push_back(folder + ": " + strerror(error));
		return error == ENOENT ? (status_t)B_ENTRY_NOT_FOUND : (status_t)B_PERMISSION_DENIED;
	}
	std::vector<std::string> names;
	while (dirent* entry = readdir(dir)) {
		// hidden files include the resource forks some systems leave beside
		// songs ("._song.mp3"), which are no songs
		if (entry->d_name[0] == '.' || !has_audio_extension(entry->d_name))
			continue;
		const std::string file = folder + "/" + entry->d_name;
		struct stat st;
		if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode))
			names.push_back(entry->d_name);
	}
	closedir(dir);

	if (names.empty()) {
		notes->push_back(folder + ": no audio files in this folder");
		return B_ENTRY_NOT_FOUND;
	}
	std::sort(names.begin(), names.end());
	for (const std::string& name : names)
		AddFile(folder + "/" + name, notes);
	return B_OK;
}

status_t Playlist::AddPlaylistFile(const std::string& path, Notes* notes)
{
	Walk walk;
	return _AddPlaylistFile(absolute_path(path, current_folder()), notes, &walk);
}

status_t Playlist::AddPlaylistText(const std::string& text, const std::string& path,
	Notes* notes)
{
	const std::string absolute = absolute_path(path, current_folder());
	Walk walk;
	char resolved[PATH_MAX];
	walk.open.push_back(realpath(absolute.c_str(), resolved) != NULL ? resolved : absolute);
	return _AddPlaylistText(text, absolute, notes, &walk);
}

status_t Playlist::_AddPlaylistFile(const std::string& path, Notes* notes, Walk* walk)
{
	// The same file under another name (a link, "a/../a.m3u") is the same
	// playlist.
	std::string identity = path;
	char resolved[PATH_MAX];
	if (realpath(path.c_str(), resolved) != NULL)
		identity = resolved;
	if (std::find(walk->open.begin(), walk->open.end(), identity) != walk->open.end()) {
		notes->push_back(path + ": skipped, a playlist that names itself");
		return B_BAD_VALUE;
	}
	if ((int32)walk->open.size() >= kMaxPlaylistDepth) {
		notes->push_back(path + ": playlists nested too deep");
		return B_BAD_VALUE;
	}
	if (walk->reads >= kMaxPlaylistReads) {
		if (!walk->stopped) {
			notes->push_back(path + ": more than " + std::to_string(kMaxPlaylistReads)
				+ " playlists named; the rest are skipped");
			walk->stopped = true;
		}
		return B_BAD_VALUE;
	}
	walk->reads++;

	std::string text;
	const status_t status = read_playlist_text(path, &text);
	if (status != B_OK) {
		const char* reason = status == B_NO_MEMORY ? "too large for a playlist"
			: status == B_ENTRY_NOT_FOUND ? "no such playlist"
			: status == B_PERMISSION_DENIED ? "cannot open the playlist"
			: "cannot read the playlist";
		notes->push_back(path + ": " + reason);
		return status;
	}
	if (walk->text + text.size() > kMaxExpansionText) {
		if (!walk->stopped) {
			notes->push_back(path + ": the playlists named hold too much; the rest are skipped");
			walk->stopped = true;
		}
		return B_BAD_VALUE;
	}
	walk->text += text.size();
	walk->open.push_back(identity);
	const status_t result = _AddPlaylistText(text, path, notes, walk);
	walk->open.pop_back();
	return result;
}

status_t Playlist::_AddPlaylistText(const std::string& text, const std::string& path,
	Notes* notes, Walk* walk)
{
	const std::string base = folder_of(path);
	int32 pendingLength = 0;
	std::string pendingTitle;
	bool pending = false;
	size_t start = 0;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		const std::string line = trim(text.substr(start, end - start));
		start = end + 1;

		if (line.empty())
			continue;
		if (line.compare(0, 8, "#EXTINF:") == 0) {
			parse_extinf(line, &pendingLength, &pendingTitle);
			pendingTitle = title_text(pendingTitle);
			pending = true;
			continue;
		}
		if (line[0] == '#')
			continue;

		std::string location = line;
		if (location.compare(0, 7, "file://") == 0) {
			// file:///path or file://localhost/path
			location = percent_decode(location.substr(7));
			const size_t slash = location.find('/');
			location = slash == std::string::npos ? std::string() : location.substr(slash);
		}
		if (location.empty()) {
			notes->push_back(path + ": cannot read the entry \"" + line + "\"");
		} else if (location.find("://") != std::string::npos) {
			// a stream: it plays on the clock like any other entry
			PlaylistEntry entry;
			entry.filename = location;
			entry.title = pending && !pendingTitle.empty() ? pendingTitle : location;
			entry.length = pending ? pendingLength : 0;
			AddEntry(entry);
		} else {
			_AddLocation(absolute_path(location, base), pending ? pendingTitle : std::string(),
				pending ? pendingLength : 0, notes, walk);
		}
		pending = false;
		pendingTitle.clear();
		pendingLength = 0;
	}
	return B_OK;
}

// Adds a file, folder or playlist at an absolute path. `title` and `length`
// come from a playlist's #EXTINF line (empty and 0 when there was none) and
// win over what the file itself says. A file that does not exist is added
// all the same when a playlist names it.
status_t Playlist::_AddLocation(const std::string& path, const std::string& title,
	int32 length, Notes* notes, Walk* walk)
{
	struct stat st;
	const bool exists = stat(path.c_str(), &st) == 0;
	if (exists && S_ISDIR(st.st_mode))
		return AddFolder(path, notes);
	if (IsPlaylistFile(path))
		return _AddPlaylistFile(path, notes, walk);
	if (walk->open.empty())
		return AddFile(path, notes);

	PlaylistEntry entry;
	entry.filename = path;
	entry.title = title;
	entry.length = length;
	if (exists && (entry.title.empty() || entry.length <= 0)) {
		AudioInfo info;
		if (read_audio_info(path, &info)) {
			if (entry.title.empty())
				entry.title = info.title;
			if (entry.length <= 0)
				entry.length = info.length;
		}
	}
	if (entry.title.empty())
		entry.title = title_text(title_from_name(path));
	if (entry.length <= 0) {
		notes->push_back(path + ": length unknown, plays as "
			+ format_length(kDefaultEntryLength));
	}
	AddEntry(entry);
	return B_OK;
}

void Playlist::AddEntry(PlaylistEntry entry)
{
	entry.lengthKnown = entry.length > 0;
	if (!entry.lengthKnown)
		entry.length = kDefaultEntryLength;
	entry.number = (int32)fEntries.size() + 1;
	fEntries.push_back(std::move(entry));
}

[[gnu::hot]] const PlaylistEntry* Playlist::EntryAt(int32 index) const
{
	if (index < 0 || index >= (int32)fEntries.size())
		return NULL;
	return &fEntries[index];
}

[[gnu::hot]] PlaylistEntry* Playlist::EntryAt(int32 index)
{
	if (index < 0 || index >= (int32)fEntries.size())
		return NULL;
	return &fEntries[index];
}
