// Every seed input of every fuzz target goes through that target's checks
// (which abort on a broken one), so the normal test run keeps the seeds
// and the checks honest without a fuzzer. (The skin-colour and unzip-listing
// targets are replayed by test_prefs and test_translator, beside the code
// they check.)
#include <gtest/gtest.h>

#include <stddef.h>
#include <stdint.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

extern "C" {
int fuzz_message_entry(const uint8_t* data, size_t size);
int fuzz_resources_entry(const uint8_t* data, size_t size);
int fuzz_ini_entry(const uint8_t* data, size_t size);
int fuzz_lyrics_entry(const uint8_t* data, size_t size);
int fuzz_playlist_entry(const uint8_t* data, size_t size);
int fuzz_images_entry(const uint8_t* data, size_t size);
int fuzz_port_entry(const uint8_t* data, size_t size);
}

namespace {

typedef int (*Entry)(const uint8_t*, size_t);

struct Target {
	const char* name;
	Entry entry;
};

const Target kTargets[] = {
	{ "message", fuzz_message_entry },
	{ "resources", fuzz_resources_entry },
	{ "ini", fuzz_ini_entry },
	{ "lyrics", fuzz_lyrics_entry },
	{ "playlist", fuzz_playlist_entry },
	{ "images", fuzz_images_entry },
	{ "port", fuzz_port_entry },
};

// gtest shows a parameter by this, instead of its bytes.
void PrintTo(const Target& target, std::ostream* os)
{
	*os << target.name;
}

class SeedReplay : public ::testing::TestWithParam<Target> {};

}

TEST_P(SeedReplay, EverySeedPassesTheChecks)
{
	const std::filesystem::path folder
		= std::filesystem::path(FUZZ_CORPUS_DIR) / GetParam().name;
	ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
	int seeds = 0;
	for (const auto& file : std::filesystem::directory_iterator(folder)) {
		std::ifstream in(file.path(), std::ios::binary);
		const std::string bytes{std::istreambuf_iterator<char>(in),
			std::istreambuf_iterator<char>()};
		SCOPED_TRACE(file.path().string());
		EXPECT_EQ(0, GetParam().entry(reinterpret_cast<const uint8_t*>(bytes.data()),
			bytes.size()));
		seeds++;
	}
	EXPECT_GE(seeds, 3) << "a target needs seeds to start from";
}

INSTANTIATE_TEST_SUITE_P(Targets, SeedReplay, ::testing::ValuesIn(kTargets),
	[](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });
