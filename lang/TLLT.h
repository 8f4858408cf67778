// One language: the texts of an LLT file by key, with the file's name,
// writer and thanks.
//
// An LLT file is an INI file (limit 2048 bytes a line, UTF-8) with a section
// "Informations" (Header = "LLT File Format 100", Language, Writer,
// SpecialThanks) and a section "Data" of key = text pairs. Texts may hold
// the escapes #n (line feed), #t (tab), #s (blank) and ## (#), and one
// reference @Key@ to another text.
//
// Window threads read the language while the communication manager may be
// loading into it. A load therefore builds the new texts aside and swaps
// them in whole under a lock, so a reader sees the old language or the new
// one, never a mixture. The texts a load replaces are kept until the object
// is destroyed, so a pointer that Text handed out just before a swap never
// dangles.
#ifndef LANG_T_LLT_H
#define LANG_T_LLT_H

#include <SupportDefs.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class BResources;
class TIniFile;

extern const char* const kLLTHeader;          // "LLT File Format 100"
extern const char* const kLLTMissingText;     // "! ERROR !"
const int kLLTLineLimit = 2048;
// The built-in language: resource 'CSTR' (B_STRING_TYPE) of this id.
const int32 kBuiltInLanguageID = 3000;

class TLLT {
public:
	typedef std::map<std::string, std::string> text_map;

	TLLT();
	TLLT(const TLLT& other);
	TLLT& operator=(const TLLT& other);
	~TLLT();

	// 0 on success; -1 when the file cannot be read or its header is wrong
	// (the object is then unchanged).
	int32 Load(const char* path);
	// The resource 'CSTR' `id` of `resources`, or of the running
	// application when `resources` is NULL; -1 when it does not exist.
	int32 Load(BResources* resources, int32 id);
	// Texts that the object held before and that the file does not name
	// stay; load into a fresh object for a clean language.
	int32 Load(TIniFile* ini);

	// The text of `key` (matched exactly), or "! ERROR !" when there is none.
	// Valid until the object is destroyed.
	const char* Text(const char* key) const;

	std::string LanguageName() const;
	std::string Writer() const;
	std::string SpecialThanks() const;
	// The texts as they are now; the reference stays valid until the object
	// is destroyed, but a later load does not show in it.
	const text_map& TextMap() const;

	// With the flag set, a missing key is also shown in an alert.
	void SET_SHOW_DB_INFO(bool show);

	// One escape pass over `text`: every `code` becomes `replacement`. For a
	// code of "#" and another character, an occurrence counts only when the
	// run of "#" ending at its own "#" is odd (with an even run that "#" is
	// itself escaped). Any other code is replaced left to right without
	// overlap. Replacements are never searched again.
	static void Decode(std::string* text, const char* code, const char* replacement);

private:
	struct Contents {
		text_map texts;
		std::string languageName;
		std::string specialThanks;
		std::string writer;
	};

	std::shared_ptr<const Contents> Current() const;
	void Publish(std::shared_ptr<const Contents> contents);

	std::atomic<bool> fShowLookupErrors;
	mutable std::mutex fLock;
	std::shared_ptr<const Contents> fContents;
	std::vector<std::shared_ptr<const Contents>> fRetired;
};

#endif
