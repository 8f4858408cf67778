// BString: a growable, NUL-terminated byte string.
//
// Lengths and offsets count bytes, not characters (CountChars counts UTF-8
// characters). A BString owns its buffer; String() and the pointer returned by
// LockBuffer stay valid until the string is next changed. Out-of-range offsets
// and NULL arguments are tolerated: they leave the string as it was, and a
// search that cannot match returns B_ERROR.
#ifndef _B_STRING_H
#define _B_STRING_H

#include <SupportDefs.h>

#include <string>

class BString {
public:
	BString();
	BString(const char* string);
	BString(const BString& string);
	BString(const char* string, int32 maxLength);
	BString(BString&& string) noexcept;
	~BString();

	const char* String() const { return fData.c_str(); }
	int32 Length() const { return (int32)fData.size(); }
	// The number of UTF-8 characters: every byte that does not continue a
	// multi-byte sequence.
	int32 CountChars() const;

	// ---- Assignment
	BString& operator=(const BString& string);
	BString& operator=(BString&& string) noexcept;
	BString& operator=(const char* string);
	BString& operator=(char c);

	BString& SetTo(const char* string);
	BString& SetTo(const char* string, int32 maxLength);
	BString& SetTo(const BString& string);
	BString& SetTo(const BString& string, int32 maxLength);
	BString& SetTo(char c, int32 count);
	// Takes over the contents of `from`, which is left empty.
	BString& Adopt(BString& from);
	BString& Adopt(BString& from, int32 maxLength);

	// Copies (CopyInto) or moves (MoveInto, removing them here) `length`
	// bytes from `fromOffset`. The char* forms write no terminating NUL.
	BString& CopyInto(BString& into, int32 fromOffset, int32 length) const;
	void CopyInto(char* into, int32 fromOffset, int32 length) const;
	BString& MoveInto(BString& into, int32 fromOffset, int32 length);
	void MoveInto(char* into, int32 fromOffset, int32 length);

	// ---- Appending, prepending, inserting
	BString& operator+=(const BString& string);
	BString& operator+=(const char* string);
	BString& operator+=(char c);

	BString& Append(const BString& string);
	BString& Append(const char* string);
	BString& Append(const BString& string, int32 length);
	BString& Append(const char* string, int32 length);
	BString& Append(char c, int32 count);

	BString& Prepend(const char* string);
	BString& Prepend(const BString& string);
	BString& Prepend(const char* string, int32 length);
	BString& Prepend(const BString& string, int32 length);
	BString& Prepend(char c, int32 count);

	BString& Insert(const char* string, int32 position);
	BString& Insert(const char* string, int32 length, int32 position);
	BString& Insert(const char* string, int32 fromOffset, int32 length, int32 position);
	BString& Insert(const BString& string, int32 position);
	BString& Insert(const BString& string, int32 length, int32 position);
	BString& Insert(const BString& string, int32 fromOffset, int32 length, int32 position);
	BString& Insert(char c, int32 count, int32 position);

	// ---- Removing
	// Keeps the first `newLength` bytes. (`lazy` is accepted for
	// compatibility; memory is managed by the string either way.)
	BString& Truncate(int32 newLength, bool lazy = true);
	BString& Remove(int32 from, int32 length);
	BString& RemoveFirst(const BString& string);
	BString& RemoveLast(const BString& string);
	BString& RemoveAll(const BString& string);
	BString& RemoveFirst(const char* string);
	BString& RemoveLast(const char* string);
	BString& RemoveAll(const char* string);
	// Removes every byte that occurs in `setOfCharsToRemove`.
	BString& RemoveSet(const char* setOfCharsToRemove);

	// ---- Comparison (bytes compared as unsigned, as strcmp does)
	bool operator<(const BString& string) const;
	bool operator<=(const BString& string) const;
	bool operator==(const BString& string) const;
	bool operator>=(const BString& string) const;
	bool operator>(const BString& string) const;
	bool operator!=(const BString& string) const;

	bool operator<(const char* string) const;
	bool operator<=(const char* string) const;
	bool operator==(const char* string) const;
	bool operator>=(const char* string) const;
	bool operator>(const char* string) const;
	bool operator!=(const char* string) const;

	int Compare(const BString& string) const;
	int Compare(const char* string) const;
	int Compare(const BString& string, int32 length) const;
	int Compare(const char* string, int32 length) const;
	int ICompare(const BString& string) const;
	int ICompare(const char* string) const;
	int ICompare(const BString& string, int32 length) const;
	int ICompare(const char* string, int32 length) const;

	// ---- Searching: the byte offset of the match, or B_ERROR.
	// FindFirst looks at matches that start at or after `fromOffset`;
	// FindLast at matches that end at or before `beforeOffset` (for a
	// character: that lie before it).
	int32 FindFirst(const BString& string) const;
	int32 FindFirst(const char* string) const;
	int32 FindFirst(const BString& string, int32 fromOffset) const;
	int32 FindFirst(const char* string, int32 fromOffset) const;
	int32 FindFirst(char c) const;
	int32 FindFirst(char c, int32 fromOffset) const;

	int32 FindLast(const BString& string) const;
	int32 FindLast(const char* string) const;
	int32 FindLast(const BString& string, int32 beforeOffset) const;
	int32 FindLast(const char* string, int32 beforeOffset) const;
	int32 FindLast(char c) const;
	int32 FindLast(char c, int32 beforeOffset) const;

	int32 IFindFirst(const BString& string) const;
	int32 IFindFirst(const char* string) const;
	int32 IFindFirst(const BString& string, int32 fromOffset) const;
	int32 IFindFirst(const char* string, int32 fromOffset) const;

	int32 IFindLast(const BString& string) const;
	int32 IFindLast(const char* string) const;
	int32 IFindLast(const BString& string, int32 beforeOffset) const;
	int32 IFindLast(const char* string, int32 beforeOffset) const;

	// ---- Replacing. The counted forms replace at most `maxReplaceCount`
	// occurrences from `fromOffset` on. Replacements are never searched
	// again, so replacing "a" with "aa" ends.
	BString& ReplaceFirst(char replaceThis, char withThis);
	BString& ReplaceLast(char replaceThis, char withThis);
	BString& ReplaceAll(char replaceThis, char withThis, int32 fromOffset = 0);
	BString& Replace(char replaceThis, char withThis, int32 maxReplaceCount,
	                 int32 fromOffset = 0);
	BString& ReplaceFirst(const char* replaceThis, const char* withThis);
	BString& ReplaceLast(const char* replaceThis, const char* withThis);
	BString& ReplaceAll(const char* replaceThis, const char* withThis,
	                    int32 fromOffset = 0);
	BString& Replace(const char* replaceThis, const char* withThis,
	                 int32 maxReplaceCount, int32 fromOffset = 0);

	BString& IReplaceFirst(char replaceThis, char withThis);
	BString& IReplaceLast(char replaceThis, char withThis);
	BString& IReplaceAll(char replaceThis, char withThis, int32 fromOffset = 0);
	BString& IReplace(char replaceThis, char withThis, int32 maxReplaceCount,
	                  int32 fromOffset = 0);
	BString& IReplaceFirst(const char* replaceThis, const char* withThis);
	BString& IReplaceLast(const char* replaceThis, const char* withThis);
	BString& IReplaceAll(const char* replaceThis, const char* withThis,
	                     int32 fromOffset = 0);
	BString& IReplace(const char* replaceThis, const char* withThis,
	                  int32 maxReplaceCount, int32 fromOffset = 0);

	// Replaces every byte that occurs in `setOfChars` with `with`.
	BString& ReplaceSet(const char* setOfChars, char with);
	BString& ReplaceSet(const char* setOfChars, const char* with);

	// ---- Access
	// The byte at `index`; 0 when out of range.
	char operator[](int32 index) const;
	// Unchecked, as on the platform: `index` must lie within the string.
	char& operator[](int32 index);
	char ByteAt(int32 index) const;

	// ---- Direct buffer access
	// Returns a buffer of at least `maxLength` bytes plus a NUL, holding the
	// current contents. Until UnlockBuffer the string must not be used
	// otherwise. UnlockBuffer takes the new length, or -1 to measure it up to
	// the first NUL.
	char* LockBuffer(int32 maxLength);
	BString& UnlockBuffer(int32 length = -1);

	// ---- Case (ASCII letters only; other bytes are left alone)
	BString& ToLower();
	BString& ToUpper();
	// First letter upper case, the rest lower case.
	BString& Capitalize();
	// The first letter of every run of letters upper case, the rest lower.
	BString& CapitalizeEachWord();

	// ---- Escaping
	// Puts `escapeWith` before every byte that occurs in `setOfCharsToEscape`.
	BString& CharacterEscape(const char* original, const char* setOfCharsToEscape,
	                         char escapeWith);
	BString& CharacterEscape(const char* setOfCharsToEscape, char escapeWith);
	// Removes every `escapeChar` and keeps the byte that follows it as it is.
	BString& CharacterDeescape(const char* original, char escapeChar);
	BString& CharacterDeescape(char escapeChar);

	// ---- Formatted appending
	BString& operator<<(const char* string);
	BString& operator<<(const BString& string);
	BString& operator<<(char c);
	BString& operator<<(int32 value);
	BString& operator<<(uint32 value);
	BString& operator<<(int64 value);
	BString& operator<<(uint64 value);
	// Two decimals, as "%.2f" writes them: 11.99 gives "11.99", 12 "12.00".
	BString& operator<<(float value);
	BString& operator<<(double value);

private:
	int32 _FindFirst(const char* string, int32 fromOffset, bool ignoreCase) const;
	int32 _FindLast(const char* string, int32 beforeOffset, bool ignoreCase) const;
	BString& _Replace(char replaceThis, char withThis, int32 maxCount,
	                  int32 fromOffset, bool ignoreCase);
	BString& _Replace(const char* replaceThis, const char* withThis, int32 maxCount,
	                  int32 fromOffset, bool ignoreCase);
	BString& _ReplaceLast(const char* replaceThis, const char* withThis,
	                      bool ignoreCase);

	std::string fData;
};

// Comparisons with a C string on the left.
bool operator<(const char* a, const BString& b);
bool operator<=(const char* a, const BString& b);
bool operator==(const char* a, const BString& b);
bool operator>(const char* a, const BString& b);
bool operator>=(const char* a, const BString& b);
bool operator!=(const char* a, const BString& b);

// Free comparison functions, usable as sort callbacks.
int Compare(const BString& a, const BString& b);
int ICompare(const BString& a, const BString& b);
int Compare(const BString* a, const BString* b);
int ICompare(const BString* a, const BString* b);

#endif
