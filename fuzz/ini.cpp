// libFuzzer target: INI files (settings) and the language files made of
// them. The first byte picks the line-length limit (and whether the file
// is also read as a language table), the rest is the file.
//
// Checks: every line written is within the limit, and a file written and
// read back is written the same again: what is written is what reads back.
#include "fuzz/FuzzCheck.h"

#include "lang/TIniFile.h"
#include "lang/TLLT.h"

#include <DataIO.h>
#include <List.h>

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace {

void check(bool condition, const char* what)
{
	fuzzcheck::check(condition, "ini", what);
}

// Reads the file in `stream` as a reader of settings does, going through
// every section and key, then writes it back whole; returns what it wrote.
std::string read_and_write(const std::string& text, int limit)
{
	BMallocIO stream;
	stream.WriteAt(0, text.data(), text.size());
	{
		TIniFile ini(&stream, limit);
		BList sections;
		ini.EnumSections(&sections);
		for (int32 i = 0; i < sections.CountItems(); i++) {
			ini.ChangeSection(static_cast<const char*>(sections.ItemAt(i)));
			BList keys;
			ini.EnumKeys(&keys);
			for (int32 k = 0; k < keys.CountItems(); k++) {
				int32 number;
				ini.ReadValue(static_cast<const char*>(keys.ItemAt(k)), &number);
			}
		}
		check(ini.Flush(true), "flush into memory failed");
	}
	return std::string(static_cast<const char*>(stream.Buffer()), stream.BufferLength());
}

}

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
	if (size == 0)
		return 0;
	static const int kLimits[] = { 1, 2, 3, 5, 8, 16, 64, 2048 };
	// The limit as the object takes it (it raises one that is too small).
	const int limit = TIniFile(kLimits[data[0] & 7]).Limit();
	const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

	const std::string first = read_and_write(text, limit);
	for (size_t start = 0; start < first.size();) {
		size_t end = first.find('\n', start);
		if (end == std::string::npos)
			end = first.size();
		check(end - start <= (size_t)limit, "a line written is longer than the limit");
		start = end + 1;
	}
	check(read_and_write(first, limit) == first, "written, read back and written again differs");

	if ((data[0] & 8) != 0) {
		BMemoryIO stream(text.data(), text.size());
		TIniFile file(&stream, limit);
		TLLT table;
		if (table.Load(&file) == 0) {
			for (const auto& [key, value] : table.TextMap())
				check(value.size() <= 8192 + (size_t)limit, "a language text grew past its bound");
		}
	}
	return 0;
}
