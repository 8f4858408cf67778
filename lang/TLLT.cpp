#include "TLLT.h"

#include "TIniFile.h"
#include "framework/Alerts.h"

#include <Application.h>
#include <DataIO.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <string.h>

#include <set>

const char* const kLLTHeader = "LLT File Format 100";
const char* const kLLTMissingText = "! ERROR !";

namespace {

const char* const kInfoSection = "Informations";
const char* const kDataSection = "Data";

// A text made longer than this by its reference, or a reference once the
// references together have added this much, is left as written: texts
// referring to each other in a chain would otherwise grow with the square
// of the number of keys.
const size_t kMaxExpandedText = 8192;
const size_t kMaxExpansion = 4 * 1024 * 1024;

// Replaces the first @Key@ of every text, in ascending key order, by the
// text of Key as it is at that moment.
void expand_references(TLLT::text_map* texts)
{
	size_t added = 0;
	for (auto& [key, text] : *texts) {
		const size_t open = text.find('@');
		if (open == std::string::npos)
			continue;
		const size_t close = text.find('@', open + 1);
		if (close == std::string::npos)
			continue;
		const auto target = texts->find(text.substr(open + 1, close - open - 1));
		if (target == texts->end())
			continue;
		const std::string replacement = target->second;   // may be this text itself
		const size_t length = text.size() - (close - open + 1) + replacement.size();
		if (length > kMaxExpandedText || added + replacement.size() > kMaxExpansion)
			continue;
		added += replacement.size();
		text.replace(open, close - open + 1, replacement);
	}
}

}

TLLT::TLLT()
	: fShowLookupErrors(false),
	  fContents(std::make_shared<const Contents>())
{
}

TLLT::TLLT(const TLLT& other)
	: fShowLookupErrors(other.fShowLookupErrors.load()),
	  fContents(other.Current())
{
}

TLLT& TLLT::operator=(const TLLT& other)
{
	if (this != &other) {
		fShowLookupErrors = other.fShowLookupErrors.load();
		Publish(other.Current());
	}
	return *this;
}

TLLT::~TLLT()
{
}

std::shared_ptr<const TLLT::Contents> TLLT::Current() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fContents;
}

void TLLT::Publish(std::shared_ptr<const Contents> contents)
{
	std::lock_guard<std::mutex> lock(fLock);
	if (contents == fContents)
		return;
	fRetired.push_back(std::move(fContents));
	fContents = std::move(contents);
}

int32 TLLT::Load(const char* path)
{
	if (path == nullptr)
		return -1;
	TIniFile ini(kLLTLineLimit);
	if (ini.SetTo(path, B_READ_ONLY, kLLTLineLimit) != B_OK)
		return -1;
	return Load(&ini);
}

int32 TLLT::Load(BResources* resources, int32 id)
{
	if (resources == nullptr)
		resources = BApplication::AppResources();
	if (resources == nullptr)
		return -1;
	size_t size = 0;
	const void* data = resources->LoadResource(B_STRING_TYPE, id, &size);
	if (data == nullptr)
		return -1;
	// A string resource may or may not carry its terminating NUL.
	const void* nul = memchr(data, '\0', size);
	if (nul != nullptr)
		size = static_cast<const char*>(nul) - static_cast<const char*>(data);
	BMemoryIO stream(data, size);
	TIniFile ini(&stream, kLLTLineLimit);
	return Load(&ini);
}

int32 TLLT::Load(TIniFile* ini)
{
	if (ini == nullptr)
		return -1;
	std::vector<char> buffer(ini->Limit() + 1);
	auto read = [&](const char* key) {
		buffer[0] = '\0';
		return ini->ReadValue(key, buffer.data()) ? std::string(buffer.data()) : std::string();
	};

	ini->ChangeSection(kInfoSection);
	if (!ini->KeyExists("Header") || read("Header") != kLLTHeader)
		return -1;

	auto contents = std::make_shared<Contents>(*Current());
	contents->languageName = read("Language");
	contents->writer = read("Writer");
	contents->specialThanks = read("SpecialThanks");

	// Keys are exact here, unlike the INI lookup, so every pair is taken
	// as it stands; of a key given twice the first counts.
	ini->ChangeSection(kDataSection);
	const TIniFileSection* data = ini->CurrentSection();
	std::set<std::string> seen;
	for (int32 i = 0; i < data->CountPairs(); i++) {
		const TIniFilePair* pair = data->PairAt(i);
		if (!seen.insert(pair->key).second)
			continue;
		std::string text = pair->value;
		Decode(&text, "#n", "\n");
		Decode(&text, "#t", "\t");
		Decode(&text, "#s", " ");
		Decode(&text, "##", "#");
		contents->texts[pair->key] = text;
	}
	expand_references(&contents->texts);

	Publish(std::move(contents));
	return 0;
}

const char* TLLT::Text(const char* key) const
{
	if (key != nullptr) {
		// The contents stay alive as long as this object (see Publish).
		const std::shared_ptr<const Contents> contents = Current();
		const auto found = contents->texts.find(key);
		if (found != contents->texts.end())
			return found->second.c_str();
	}
	if (fShowLookupErrors)
		orvik::show_msg("TLLT::Text", key ? key : "", "OK", B_STOP_ALERT);
	return kLLTMissingText;
}

std::string TLLT::LanguageName() const
{
	return Current()->languageName;
}

std::string TLLT::Writer() const
{
	return Current()->writer;
}

std::string TLLT::SpecialThanks() const
{
	return Current()->specialThanks;
}

const TLLT::text_map& TLLT::TextMap() const
{
	return Current()->texts;
}

void TLLT::SET_SHOW_DB_INFO(bool show)
{
	fShowLookupErrors = show;
}

void TLLT::Decode(std::string* text, const char* code, const char* replacement)
{
	if (text == nullptr || code == nullptr || code[0] == '\0' || replacement == nullptr)
		return;
	const size_t codeLength = strlen(code);
	const size_t replacementLength = strlen(replacement);
	const bool escapedHash = code[0] == '#' && code[1] != '\0' && code[1] != '#';

	size_t position = 0;
	while ((position = text->find(code, position)) != std::string::npos) {
		if (escapedHash) {
			size_t run = 0;
			for (size_t i = position + 1; i > 0 && (*text)[i - 1] == '#'; i--)
				run++;
			if (run % 2 == 0) {
				position++;
				continue;
			}
		}
		text->replace(position, codeLength, replacement);
		position += replacementLength;
	}
}
