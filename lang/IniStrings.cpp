#include "IniStrings.h"

#include <string.h>

#include <string>

bool is_ini_space(char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int trimleft(char* dst, const char* src)
{
	while (is_ini_space(*src))
		src++;
	const size_t length = strlen(src);
	memmove(dst, src, length + 1);
	return static_cast<int>(length);
}

int trimright(char* dst, const char* src)
{
	size_t length = strlen(src);
	while (length > 0 && is_ini_space(src[length - 1]))
		length--;
	memmove(dst, src, length);
	dst[length] = '\0';
	return static_cast<int>(length);
}

int trim(char* dst, const char* src)
{
	while (is_ini_space(*src))
		src++;
	return trimright(dst, src);
}

int mid(char* dst, const char* src, int start, int length)
{
	const int total = static_cast<int>(strlen(src));
	if (start < 1)
		start = 1;
	if (start > total || length < 0) {
		dst[0] = '\0';
		return 0;
	}
	const int available = total - (start - 1);
	const int count = (length == 0 || length > available) ? available : length;
	memmove(dst, src + start - 1, count);
	dst[count] = '\0';
	return count;
}

int instr(const char* text, const char* find, int start)
{
	const int total = static_cast<int>(strlen(text));
	if (start < 1)
		start = 1;
	if (find[0] == '\0' || start > total)
		return 0;
	const char* found = strstr(text + start - 1, find);
	return found ? static_cast<int>(found - text) + 1 : 0;
}

int repstr(char* dst, const char* src, const char* find, const char* replacement,
           int start)
{
	const int position = instr(src, find, start);
	if (position == 0)
		return 0;
	const size_t findLength = strlen(find);
	// Built aside first, since `dst` may be `src`.
	std::string result(src, position - 1);
	result += replacement;
	result += src + position - 1 + findLength;
	memcpy(dst, result.c_str(), result.size() + 1);
	return static_cast<int>(findLength);
}

char* reext(const char* path, const char* extension, char* dst)
{
	std::string result(path);
	const size_t dot = result.rfind('.');
	if (dot == std::string::npos)
		result += '.';
	else
		result.erase(dot + 1);
	result += extension;
	memcpy(dst, result.c_str(), result.size() + 1);
	return dst;
}
