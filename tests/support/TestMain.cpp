#include <gtest/gtest.h>

#include <filesystem>
#include <stdlib.h>
#include <string>

int main(int argc, char** argv)
{
	// No test opens a real display or the desktop's opener.
	setenv("VERSO_HEADLESS", "1", 0);
	// Misuse of loopers and views stops the program with a report naming
	// the call, in every build (see platform/private/support/Misuse.h).
	setenv("BE_CHECK_MISUSE", "1", 0);

	// CTest runs test programs side by side. Applications and named ports are
	// visible to every process of the user, so each test program gets a
	// runtime folder of its own (inherited by the child programs it starts):
	// a player registered by one test never answers another.
	std::string runtime;
	if (getenv("VERSO_SHARED_RUNTIME") == nullptr) {
		std::string tmpl = (std::filesystem::temp_directory_path() / "verso-run-XXXXXX").string();
		if (mkdtemp(tmpl.data()) != nullptr) {
			runtime = tmpl;
			setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
		}
	}

	::testing::InitGoogleTest(&argc, argv);
	int result = RUN_ALL_TESTS();

	if (!runtime.empty()) {
		std::error_code ec;
		std::filesystem::remove_all(runtime, ec);
	}
	return result;
}

// What the sanitizers skip in the libraries beneath the platform, for every
// test program.
//
// Leaks: fontconfig keeps its configuration for the life of the process and
// loses a little of it while loading; Pango keeps its font caches the same
// way; SDL's D-Bus connection cannot be shut down.
//
// Races: Pango sorts and matches fonts on worker threads of its own and hands
// the results over through GLib's futex-based locks, which ThreadSanitizer
// cannot see in these uninstrumented libraries.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
	return "leak:libfontconfig.so\n"
		"leak:libpangoft2-1.0.so\n"
		"leak:libdbus-1.so\n";
}

extern "C" __attribute__((used)) const char* __tsan_default_suppressions()
{
	return "race:libfontconfig.so\n"
		"race:libpangoft2-1.0.so\n"
		"race:libpango-1.0.so\n"
		"race:libcairo.so\n";
}
