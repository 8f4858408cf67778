// ZIP archives made in memory for the translator tests: stored members
// with any name bytes and any DOS date and time, no extra fields.
#ifndef TRANSLATOR_TEST_ZIP_FIXTURES_H
#define TRANSLATOR_TEST_ZIP_FIXTURES_H

#include <string>
#include <vector>

namespace fixture {

struct Member {
	std::string name;
	std::string contents;
	int year = 2001, month = 2, day = 3, hour = 4, minute = 5;
};

// The bytes of an archive holding the members in this order, with an
// archive comment.
std::string zip_bytes(const std::vector<Member>& members,
	const std::string& comment = std::string());

}

#endif
