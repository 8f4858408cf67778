// Helpers shared by the test programs.
#ifndef TEST_UTIL_H
#define TEST_UTIL_H

#include <SupportDefs.h>

#include <functional>
#include <string>
#include <vector>

namespace testutil {

// Polls `done` until it returns true or `timeout` microseconds have passed.
// Tests wait for events with this instead of sleeping for a fixed time.
bool wait_for(const std::function<bool()>& done, bigtime_t timeout = 5000000);

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away.
class TempDir {
public:
	TempDir();
	~TempDir();
	const std::string& Path() const { return fPath; }
	// Path of `name` inside the folder.
	std::string File(const std::string& name) const;
	// Writes `contents` to `name` inside the folder and returns its path.
	std::string Write(const std::string& name, const std::string& contents) const;
private:
	std::string fPath;
};

// Whole contents of a file, or an empty string when it cannot be read.
std::string read_file(const std::string& path);

// The names in a folder (without "." and ".."), sorted.
std::vector<std::string> folder_names(const std::string& path);

// A full disk, simulated: while the object lives, no file of this process
// may grow beyond `bytes` (writes past it fail with EFBIG, and the signal
// the kernel sends for them is ignored).
class FileSizeLimit {
public:
	explicit FileSizeLimit(size_t bytes);
	~FileSizeLimit();
private:
	unsigned long long fSoft;
	void (*fHandler)(int);
};

}

#endif
