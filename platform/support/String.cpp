#include <String.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <strings.h>

namespace {

// Length of `string` up to `maxLength` bytes; a negative maximum means the
// whole string, a NULL string has no bytes.
size_t
clamped_length(const char* string, int32 maxLength)
{
	if (string == NULL)
		return 0;
	if (maxLength < 0)
		return strlen(string);
	return strnlen(string, (size_t)maxLength);
}

inline char
lower(char c)
{
	return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

inline char
upper(char c)
{
	return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

// Letters for word capitalisation. Bytes of UTF-8 sequences count as letters
// so that a word with an accented letter is not split in two.
inline bool
is_word_char(char c)
{
	unsigned char u = (unsigned char)c;
	return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0x80;
}

bool
equal_at(const std::string& data, size_t offset, const char* pattern, size_t length,
	bool ignoreCase)
{
	if (offset + length > data.size())
		return false;
	if (!ignoreCase)
		return memcmp(data.data() + offset, pattern, length) == 0;
	for (size_t i = 0; i < length; i++) {
		if (lower(data[offset + i]) != lower(pattern[i]))
			return false;
	}
	return true;
}

const char*
safe(const char* string)
{
	return string != NULL ? string : "";
}

template<typename T>
void
append_number(std::string& data, T value)
{
	char buffer[32];
	std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), value);
	data.append(buffer, result.ptr);
}

void
append_fixed2(std::string& data, double value)
{
	// std::to_chars does not depend on the locale, so the decimal point stays
	// a point whatever the program's LC_NUMERIC says. 330 digits hold any
	// double in fixed notation.
	char buffer[400];
	std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), value,
		std::chars_format::fixed, 2);
	if (result.ec == std::errc())
		data.append(buffer, result.ptr);
}

}	// namespace


BString::BString()
{
}


BString::BString(const char* string)
	:
	fData(safe(string))
{
}


BString::BString(const BString& string)
	:
	fData(string.fData)
{
}


BString::BString(const char* string, int32 maxLength)
	:
	fData(safe(string), clamped_length(string, maxLength))
{
}


BString::BString(BString&& string) noexcept
	:
	fData(std::move(string.fData))
{
	string.fData.clear();
}


BString::~BString()
{
}


int32
BString::CountChars() const
{
	int32 count = 0;
	for (char c : fData) {
		if (((unsigned char)c & 0xc0) != 0x80)
			count++;
	}
	return count;
}


// #pragma mark - Assignment


BString&
BString::operator=(const BString& string)
{
	if (this != &string)
		fData = string.fData;
	return *this;
}


BString&
BString::operator=(BString&& string) noexcept
{
	if (this != &string) {
		fData = std::move(string.fData);
		string.fData.clear();
	}
	return *this;
}


BString&
BString::operator=(const char* string)
{
	return SetTo(string);
}


BString&
BString::operator=(char c)
{
	return SetTo(c, 1);
}


BString&
BString::SetTo(const char* string)
{
	return SetTo(string, -1);
}


BString&
BString::SetTo(const char* string, int32 maxLength)
{
	// assign() copes with `string` pointing into our own buffer.
	fData.assign(safe(string), clamped_length(string, maxLength));
	return *this;
}


BString&
BString::SetTo(const BString& string)
{
	return *this = string;
}


BString&
BString::SetTo(const BString& string, int32 maxLength)
{
	return SetTo(string.String(), maxLength);
}


BString&
BString::SetTo(char c, int32 count)
{
	fData.assign(count > 0 ? (size_t)count : 0, c);
	return *this;
}


BString&
BString::Adopt(BString& from)
{
	if (&from != this) {
		fData = std::move(from.fData);
		from.fData.clear();
	}
	return *this;
}


BString&
BString::Adopt(BString& from, int32 maxLength)
{
	Adopt(from);
	if (maxLength >= 0 && (size_t)maxLength < fData.size())
		fData.resize((size_t)maxLength);
	return *this;
}


BString&
BString::CopyInto(BString& into, int32 fromOffset, int32 length) const
{
	if (fromOffset < 0 || fromOffset > Length() || length < 0) {
		if (&into != this)
			into.fData.clear();
		return into;
	}
	into.fData = fData.substr((size_t)fromOffset, (size_t)length);
	return into;
}


void
BString::CopyInto(char* into, int32 fromOffset, int32 length) const
{
	if (into == NULL || fromOffset < 0 || fromOffset > Length() || length <= 0)
		return;
	size_t count = std::min((size_t)length, fData.size() - (size_t)fromOffset);
	memcpy(into, fData.data() + fromOffset, count);
}


BString&
BString::MoveInto(BString& into, int32 fromOffset, int32 length)
{
	if (&into == this) {
		CopyInto(into, fromOffset, length);
		return into;
	}
	CopyInto(into, fromOffset, length);
	Remove(fromOffset, length);
	return into;
}


void
BString::MoveInto(char* into, int32 fromOffset, int32 length)
{
	if (into == NULL)
		return;
	CopyInto(into, fromOffset, length);
	Remove(fromOffset, length);
}


// #pragma mark - Appending, prepending, inserting


BString&
BString::operator+=(const BString& string)
{
	return Append(string);
}


BString&
BString::operator+=(const char* string)
{
	return Append(string);
}


BString&
BString::operator+=(char c)
{
	fData.push_back(c);
	return *this;
}


BString&
BString::Append(const BString& string)
{
	fData.append(string.fData);
	return *this;
}


BString&
BString::Append(const char* string)
{
	return Append(string, -1);
}


BString&
BString::Append(const BString& string, int32 length)
{
	if (length < 0 || length > string.Length())
		length = string.Length();
	fData.append(string.fData, 0, (size_t)length);
	return *this;
}


BString&
BString::Append(const char* string, int32 length)
{
	fData.append(safe(string), clamped_length(string, length));
	return *this;
}


BString&
BString::Append(char c, int32 count)
{
	if (count > 0)
		fData.append((size_t)count, c);
	return *this;
}


BString&
BString::Prepend(const char* string)
{
	return Prepend(string, -1);
}


BString&
BString::Prepend(const BString& string)
{
	return Prepend(string, -1);
}


BString&
BString::Prepend(const char* string, int32 length)
{
	fData.insert(0, safe(string), clamped_length(string, length));
	return *this;
}


BString&
BString::Prepend(const BString& string, int32 length)
{
	if (length < 0 || length > string.Length())
		length = string.Length();
	// Copy first: `string` may be this very string.
	std::string part(string.fData, 0, (size_t)length);
	fData.insert(0, part);
	return *this;
}


BString&
BString::Prepend(char c, int32 count)
{
	if (count > 0)
		fData.insert((size_t)0, (size_t)count, c);
	return *this;
}


BString&
BString::Insert(const char* string, int32 position)
{
	return Insert(string, 0, -1, position);
}


BString&
BString::Insert(const char* string, int32 length, int32 position)
{
	return Insert(string, 0, length, position);
}


BString&
BString::Insert(const char* string, int32 fromOffset, int32 length, int32 position)
{
	if (string == NULL || position < 0 || position > Length() || fromOffset < 0)
		return *this;
	size_t available = strlen(string);
	if ((size_t)fromOffset > available)
		return *this;
	size_t count = available - (size_t)fromOffset;
	if (length >= 0 && (size_t)length < count)
		count = (size_t)length;
	std::string part(string + fromOffset, count);
	fData.insert((size_t)position, part);
	return *this;
}


BString&
BString::Insert(const BString& string, int32 position)
{
	return Insert(string, 0, -1, position);
}


BString&
BString::Insert(const BString& string, int32 length, int32 position)
{
	return Insert(string, 0, length, position);
}


BString&
BString::Insert(const BString& string, int32 fromOffset, int32 length, int32 position)
{
	if (position < 0 || position > Length() || fromOffset < 0
		|| fromOffset > string.Length())
		return *this;
	std::string part = string.fData.substr((size_t)fromOffset,
		length < 0 ? std::string::npos : (size_t)length);
	fData.insert((size_t)position, part);
	return *this;
}


BString&
BString::Insert(char c, int32 count, int32 position)
{
	if (count > 0 && position >= 0 && position <= Length())
		fData.insert((size_t)position, (size_t)count, c);
	return *this;
}


// #pragma mark - Removing


BString&
BString::Truncate(int32 newLength, bool /*lazy*/)
{
	if (newLength < 0)
		newLength = 0;
	if (newLength < Length())
		fData.resize((size_t)newLength);
	return *this;
}


BString&
BString::Remove(int32 from, int32 length)
{
	if (from < 0 || from >= Length() || length <= 0)
		return *this;
	fData.erase((size_t)from, (size_t)length);
	return *this;
}


BString&
BString::RemoveFirst(const BString& string)
{
	return RemoveFirst(string.String());
}


BString&
BString::RemoveLast(const BString& string)
{
	return RemoveLast(string.String());
}


BString&
BString::RemoveAll(const BString& string)
{
	return RemoveAll(string.String());
}


BString&
BString::RemoveFirst(const char* string)
{
	return _Replace(string, "", 1, 0, false);
}


BString&
BString::RemoveLast(const char* string)
{
	return _ReplaceLast(string, "", false);
}


BString&
BString::RemoveAll(const char* string)
{
	return _Replace(string, "", INT32_MAX, 0, false);
}


BString&
BString::RemoveSet(const char* setOfCharsToRemove)
{
	if (setOfCharsToRemove == NULL || setOfCharsToRemove[0] == '\0')
		return *this;
	std::string result;
	result.reserve(fData.size());
	for (char c : fData) {
		if (strchr(setOfCharsToRemove, c) == NULL)
			result.push_back(c);
	}
	fData.swap(result);
	return *this;
}


// #pragma mark - Comparison


bool BString::operator<(const BString& string) const { return Compare(string) < 0; }
bool BString::operator<=(const BString& string) const { return Compare(string) <= 0; }
bool BString::operator==(const BString& string) const { return fData == string.fData; }
bool BString::operator>=(const BString& string) const { return Compare(string) >= 0; }
bool BString::operator>(const BString& string) const { return Compare(string) > 0; }
bool BString::operator!=(const BString& string) const { return fData != string.fData; }

bool BString::operator<(const char* string) const { return Compare(string) < 0; }
bool BString::operator<=(const char* string) const { return Compare(string) <= 0; }
bool BString::operator==(const char* string) const { return Compare(string) == 0; }
bool BString::operator>=(const char* string) const { return Compare(string) >= 0; }
bool BString::operator>(const char* string) const { return Compare(string) > 0; }
bool BString::operator!=(const char* string) const { return Compare(string) != 0; }


int
BString::Compare(const BString& string) const
{
	return strcmp(String(), string.String());
}


int
BString::Compare(const char* string) const
{
	return strcmp(String(), safe(string));
}


int
BString::Compare(const BString& string, int32 length) const
{
	return Compare(string.String(), length);
}


int
BString::Compare(const char* string, int32 length) const
{
	if (length <= 0)
		return 0;
	return strncmp(String(), safe(string), (size_t)length);
}


int
BString::ICompare(const BString& string) const
{
	return strcasecmp(String(), string.String());
}


int
BString::ICompare(const char* string) const
{
	return strcasecmp(String(), safe(string));
}


int
BString::ICompare(const BString& string, int32 length) const
{
	return ICompare(string.String(), length);
}


int
BString::ICompare(const char* string, int32 length) const
{
	if (length <= 0)
		return 0;
	return strncasecmp(String(), safe(string), (size_t)length);
}


// #pragma mark - Searching


int32
BString::_FindFirst(const char* string, int32 fromOffset, bool ignoreCase) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	size_t length = strlen(string);
	// An empty pattern matches nowhere; that keeps the replace and remove
	// loops from running for ever.
	if (length == 0 || fromOffset < 0 || (size_t)fromOffset > fData.size())
		return B_ERROR;
	for (size_t offset = (size_t)fromOffset; offset + length <= fData.size(); offset++) {
		if (equal_at(fData, offset, string, length, ignoreCase))
			return (int32)offset;
	}
	return B_ERROR;
}


int32
BString::_FindLast(const char* string, int32 beforeOffset, bool ignoreCase) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	size_t length = strlen(string);
	if (length == 0 || beforeOffset < 0)
		return B_ERROR;
	size_t end = std::min((size_t)beforeOffset, fData.size());
	if (length > end)
		return B_ERROR;
	for (size_t offset = end - length + 1; offset-- > 0;) {
		if (equal_at(fData, offset, string, length, ignoreCase))
			return (int32)offset;
	}
	return B_ERROR;
}


int32 BString::FindFirst(const BString& string) const
	{ return _FindFirst(string.String(), 0, false); }
int32 BString::FindFirst(const char* string) const
	{ return _FindFirst(string, 0, false); }
int32 BString::FindFirst(const BString& string, int32 fromOffset) const
	{ return _FindFirst(string.String(), fromOffset, false); }
int32 BString::FindFirst(const char* string, int32 fromOffset) const
	{ return _FindFirst(string, fromOffset, false); }


int32
BString::FindFirst(char c) const
{
	return FindFirst(c, 0);
}


int32
BString::FindFirst(char c, int32 fromOffset) const
{
	if (c == '\0' || fromOffset < 0 || fromOffset >= Length())
		return B_ERROR;
	size_t offset = fData.find(c, (size_t)fromOffset);
	return offset == std::string::npos ? B_ERROR : (int32)offset;
}


int32 BString::FindLast(const BString& string) const
	{ return _FindLast(string.String(), Length(), false); }
int32 BString::FindLast(const char* string) const
	{ return _FindLast(string, Length(), false); }
int32 BString::FindLast(const BString& string, int32 beforeOffset) const
	{ return _FindLast(string.String(), beforeOffset, false); }
int32 BString::FindLast(const char* string, int32 beforeOffset) const
	{ return _FindLast(string, beforeOffset, false); }


int32
BString::FindLast(char c) const
{
	return FindLast(c, Length());
}


int32
BString::FindLast(char c, int32 beforeOffset) const
{
	if (c == '\0' || beforeOffset <= 0 || fData.empty())
		return B_ERROR;
	size_t last = std::min((size_t)beforeOffset, fData.size()) - 1;
	size_t offset = fData.rfind(c, last);
	return offset == std::string::npos ? B_ERROR : (int32)offset;
}


int32 BString::IFindFirst(const BString& string) const
	{ return _FindFirst(string.String(), 0, true); }
int32 BString::IFindFirst(const char* string) const
	{ return _FindFirst(string, 0, true); }
int32 BString::IFindFirst(const BString& string, int32 fromOffset) const
	{ return _FindFirst(string.String(), fromOffset, true); }
int32 BString::IFindFirst(const char* string, int32 fromOffset) const
	{ return _FindFirst(string, fromOffset, true); }

int32 BString::IFindLast(const BString& string) const
	{ return _FindLast(string.String(), Length(), true); }
int32 BString::IFindLast(const char* string) const
	{ return _FindLast(string, Length(), true); }
int32 BString::IFindLast(const BString& string, int32 beforeOffset) const
	{ return _FindLast(string.String(), beforeOffset, true); }
int32 BString::IFindLast(const char* string, int32 beforeOffset) const
	{ return _FindLast(string, beforeOffset, true); }


// #pragma mark - Replacing


BString&
BString::_Replace(char replaceThis, char withThis, int32 maxCount, int32 fromOffset,
	bool ignoreCase)
{
	if (fromOffset < 0)
		return *this;
	for (size_t i = (size_t)fromOffset; i < fData.size() && maxCount > 0; i++) {
		bool match = ignoreCase ? lower(fData[i]) == lower(replaceThis)
			: fData[i] == replaceThis;
		if (match) {
			fData[i] = withThis;
			maxCount--;
		}
	}
	return *this;
}


BString&
BString::_Replace(const char* replaceThis, const char* withThis, int32 maxCount,
	int32 fromOffset, bool ignoreCase)
{
	if (replaceThis == NULL || replaceThis[0] == '\0' || fromOffset < 0
		|| fromOffset > Length() || maxCount <= 0)
		return *this;
	// Copies first: either argument may point into this string.
	std::string pattern(replaceThis);
	std::string replacement(safe(withThis));

	std::string result(fData, 0, (size_t)fromOffset);
	size_t offset = (size_t)fromOffset;
	while (offset < fData.size()) {
		if (maxCount > 0
			&& equal_at(fData, offset, pattern.data(), pattern.size(), ignoreCase)) {
			result += replacement;
			offset += pattern.size();
			maxCount--;
		} else {
			result.push_back(fData[offset]);
			offset++;
		}
	}
	fData.swap(result);
	return *this;
}


BString&
BString::_ReplaceLast(const char* replaceThis, const char* withThis, bool ignoreCase)
{
	int32 offset = _FindLast(replaceThis, Length(), ignoreCase);
	if (offset < 0)
		return *this;
	std::string replacement(safe(withThis));
	fData.replace((size_t)offset, strlen(replaceThis), replacement);
	return *this;
}


BString&
BString::ReplaceFirst(char replaceThis, char withThis)
{
	return _Replace(replaceThis, withThis, 1, 0, false);
}


BString&
BString::ReplaceLast(char replaceThis, char withThis)
{
	int32 offset = FindLast(replaceThis);
	if (offset >= 0)
		fData[(size_t)offset] = withThis;
	return *this;
}


BString&
BString::ReplaceAll(char replaceThis, char withThis, int32 fromOffset)
{
	return _Replace(replaceThis, withThis, INT32_MAX, fromOffset, false);
}


BString&
BString::Replace(char replaceThis, char withThis, int32 maxReplaceCount, int32 fromOffset)
{
	return _Replace(replaceThis, withThis, maxReplaceCount, fromOffset, false);
}


BString&
BString::ReplaceFirst(const char* replaceThis, const char* withThis)
{
	return _Replace(replaceThis, withThis, 1, 0, false);
}


BString&
BString::ReplaceLast(const char* replaceThis, const char* withThis)
{
	return _ReplaceLast(replaceThis, withThis, false);
}


BString&
BString::ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset)
{
	return _Replace(replaceThis, withThis, INT32_MAX, fromOffset, false);
}


BString&
BString::Replace(const char* replaceThis, const char* withThis, int32 maxReplaceCount,
	int32 fromOffset)
{
	return _Replace(replaceThis, withThis, maxReplaceCount, fromOffset, false);
}


BString&
BString::IReplaceFirst(char replaceThis, char withThis)
{
	return _Replace(replaceThis, withThis, 1, 0, true);
}


BString&
BString::IReplaceLast(char replaceThis, char withThis)
{
	for (size_t i = fData.size(); i-- > 0;) {
		if (lower(fData[i]) == lower(replaceThis)) {
			fData[i] = withThis;
			break;
		}
	}
	return *this;
}


BString&
BString::IReplaceAll(char replaceThis, char withThis, int32 fromOffset)
{
	return _Replace(replaceThis, withThis, INT32_MAX, fromOffset, true);
}


BString&
BString::IReplace(char replaceThis, char withThis, int32 maxReplaceCount, int32 fromOffset)
{
	return _Replace(replaceThis, withThis, maxReplaceCount, fromOffset, true);
}


BString&
BString::IReplaceFirst(const char* replaceThis, const char* withThis)
{
	return _Replace(replaceThis, withThis, 1, 0, true);
}


BString&
BString::IReplaceLast(const char* replaceThis, const char* withThis)
{
	return _ReplaceLast(replaceThis, withThis, true);
}


BString&
BString::IReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset)
{
	return _Replace(replaceThis, withThis, INT32_MAX, fromOffset, true);
}


BString&
BString::IReplace(const char* replaceThis, const char* withThis, int32 maxReplaceCount,
	int32 fromOffset)
{
	return _Replace(replaceThis, withThis, maxReplaceCount, fromOffset, true);
}


BString&
BString::ReplaceSet(const char* setOfChars, char with)
{
	if (setOfChars == NULL)
		return *this;
	for (char& c : fData) {
		if (c != '\0' && strchr(setOfChars, c) != NULL)
			c = with;
	}
	return *this;
}


BString&
BString::ReplaceSet(const char* setOfChars, const char* with)
{
	if (setOfChars == NULL || setOfChars[0] == '\0')
		return *this;
	std::string replacement(safe(with));
	std::string result;
	result.reserve(fData.size());
	for (char c : fData) {
		if (c != '\0' && strchr(setOfChars, c) != NULL)
			result += replacement;
		else
			result.push_back(c);
	}
	fData.swap(result);
	return *this;
}


// #pragma mark - Access


char
BString::operator[](int32 index) const
{
	return ByteAt(index);
}


char&
BString::operator[](int32 index)
{
	return fData[(size_t)index];
}


char
BString::ByteAt(int32 index) const
{
	if (index < 0 || index >= Length())
		return 0;
	return fData[(size_t)index];
}


char*
BString::LockBuffer(int32 maxLength)
{
	// The new room is zero-filled, so that UnlockBuffer(-1) finds the end of
	// whatever the caller wrote.
	if (maxLength > Length())
		fData.resize((size_t)maxLength, '\0');
	return fData.data();
}


BString&
BString::UnlockBuffer(int32 length)
{
	size_t newLength = length < 0 ? strnlen(fData.c_str(), fData.size())
		: std::min((size_t)length, fData.size());
	fData.resize(newLength);
	return *this;
}


// #pragma mark - Case


BString&
BString::ToLower()
{
	for (char& c : fData)
		c = lower(c);
	return *this;
}


BString&
BString::ToUpper()
{
	for (char& c : fData)
		c = upper(c);
	return *this;
}


BString&
BString::Capitalize()
{
	ToLower();
	if (!fData.empty())
		fData[0] = upper(fData[0]);
	return *this;
}


BString&
BString::CapitalizeEachWord()
{
	bool inWord = false;
	for (char& c : fData) {
		if (is_word_char(c)) {
			c = inWord ? lower(c) : upper(c);
			inWord = true;
		} else
			inWord = false;
	}
	return *this;
}


// #pragma mark - Escaping


BString&
BString::CharacterEscape(const char* original, const char* setOfCharsToEscape,
	char escapeWith)
{
	std::string copy(safe(original));
	fData.swap(copy);
	return CharacterEscape(setOfCharsToEscape, escapeWith);
}


BString&
BString::CharacterEscape(const char* setOfCharsToEscape, char escapeWith)
{
	if (setOfCharsToEscape == NULL || setOfCharsToEscape[0] == '\0')
		return *this;
	std::string result;
	result.reserve(fData.size());
	for (char c : fData) {
		if (c != '\0' && strchr(setOfCharsToEscape, c) != NULL)
			result.push_back(escapeWith);
		result.push_back(c);
	}
	fData.swap(result);
	return *this;
}


BString&
BString::CharacterDeescape(const char* original, char escapeChar)
{
	std::string copy(safe(original));
	fData.swap(copy);
	return CharacterDeescape(escapeChar);
}


BString&
BString::CharacterDeescape(char escapeChar)
{
	std::string result;
	result.reserve(fData.size());
	for (size_t i = 0; i < fData.size(); i++) {
		if (fData[i] == escapeChar) {
			// The escaped byte is taken literally, even another escape
			// character; a lone escape at the end is dropped.
			if (++i < fData.size())
				result.push_back(fData[i]);
		} else
			result.push_back(fData[i]);
	}
	fData.swap(result);
	return *this;
}


// #pragma mark - Formatted appending


BString& BString::operator<<(const char* string) { return Append(string); }
BString& BString::operator<<(const BString& string) { return Append(string); }
BString& BString::operator<<(char c) { fData.push_back(c); return *this; }
BString& BString::operator<<(int32 value) { append_number(fData, value); return *this; }
BString& BString::operator<<(uint32 value) { append_number(fData, value); return *this; }
BString& BString::operator<<(int64 value) { append_number(fData, value); return *this; }
BString& BString::operator<<(uint64 value) { append_number(fData, value); return *this; }


BString&
BString::operator<<(float value)
{
	append_fixed2(fData, (double)value);
	return *this;
}


BString&
BString::operator<<(double value)
{
	append_fixed2(fData, value);
	return *this;
}


// #pragma mark - Free functions


bool operator<(const char* a, const BString& b) { return b.Compare(a) > 0; }
bool operator<=(const char* a, const BString& b) { return b.Compare(a) >= 0; }
bool operator==(const char* a, const BString& b) { return b.Compare(a) == 0; }
bool operator>(const char* a, const BString& b) { return b.Compare(a) < 0; }
bool operator>=(const char* a, const BString& b) { return b.Compare(a) <= 0; }
bool operator!=(const char* a, const BString& b) { return b.Compare(a) != 0; }


int
Compare(const BString& a, const BString& b)
{
	return a.Compare(b);
}


int
ICompare(const BString& a, const BString& b)
{
	return a.ICompare(b);
}


int
Compare(const BString* a, const BString* b)
{
	return a->Compare(*b);
}


int
ICompare(const BString* a, const BString* b)
{
	return a->ICompare(*b);
}
