#include "TextUtils.h"

namespace orvik {

bool is_char_begin_byte(char c)
{
	return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
}

std::string merge_accelerator_key(const std::string& format, const std::string& key,
	const std::string& label)
{
	std::string result;
	std::string::size_type a = format.find('a');
	if (a != std::string::npos)
		result = format.substr(0, a) + key + format.substr(a + 1);
	return result + label;
}

double abs(double x)
{
	return x >= 0 ? x : -x;
}

}
