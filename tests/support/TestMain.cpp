#include <gtest/gtest.h>

#include <filesystem>
#include <stdlib.h>
#include <string>

int main(int argc, char** argv)
{
	// No test opens a real display or the desktop's opener.
	setenv("VERSO_HEADLESS", "1", 0);

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
