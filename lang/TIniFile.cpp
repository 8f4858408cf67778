#include "TIniFile.h"

#include "IniStrings.h"
#include "framework/TextUtils.h"

#include <Directory.h>
#include <Entry.h>
#include <List.h>

#include <string.h>

#include <charconv>
#include <cstdio>

const char* const kIniGlobalSection = "_TIniF_GlobalSec";

namespace {

std::string trimmed(const std::string& text)
{
	size_t begin = 0;
	size_t end = text.size();
	while (begin < end && is_ini_space(text[begin]))
		begin++;
	while (end > begin && is_ini_space(text[end - 1]))
		end--;
	return text.substr(begin, end - begin);
}

// The shortest line that holds a section header ("[]"): a smaller limit
// would read headers that cannot be written back within it.
const int kMinLimit = 2;

// Cuts `text` to at most `length` bytes without splitting a UTF-8 character.
void cut_to(std::string* text, long length)
{
	if (length < 0)
		length = 0;
	if (text->size() <= static_cast<size_t>(length))
		return;
	size_t cut = static_cast<size_t>(length);
	while (cut > 0 && !orvik::is_char_begin_byte((*text)[cut]))
		cut--;
	text->erase(cut);
}

// A name that a header line can carry and that reads back as itself.
bool is_writable_section_name(const char* name)
{
	return name != nullptr && strpbrk(name, "]\r\n") == nullptr;
}

template <typename T>
bool parse_integer(const std::string& text, T* out)
{
	const char* begin = text.c_str();
	const char* end = begin + text.size();
	if (begin != end && *begin == '+')
		begin++;
	T value = 0;
	const auto result = std::from_chars(begin, end, value);
	if (result.ec != std::errc() || result.ptr != end || begin == end)
		return false;
	*out = value;
	return true;
}

bool parse_bool(const std::string& text, bool* out)
{
	int64 number = 0;
	if (parse_integer(text, &number)) {
		*out = number != 0;
		return true;
	}
	for (const char* word : {"true", "yes", "on"}) {
		if (ini_name_equal(text.c_str(), word)) {
			*out = true;
			return true;
		}
	}
	for (const char* word : {"false", "no", "off"}) {
		if (ini_name_equal(text.c_str(), word)) {
			*out = false;
			return true;
		}
	}
	return false;
}

bool parse_color(const std::string& text, rgb_color* out)
{
	uint8 parts[4];
	size_t position = 0;
	for (int i = 0; i < 4; i++) {
		while (position < text.size() && is_ini_space(text[position]))
			position++;
		size_t end = position;
		while (end < text.size() && !is_ini_space(text[end]))
			end++;
		int32 number = -1;
		if (!parse_integer(text.substr(position, end - position), &number)
			|| number < 0 || number > 255) {
			return false;
		}
		parts[i] = static_cast<uint8>(number);
		position = end;
	}
	if (!trimmed(text.substr(position)).empty())
		return false;
	*out = rgb_color{parts[0], parts[1], parts[2], parts[3]};
	return true;
}

}

// #pragma mark - Opening and closing

TIniFile::TIniFile(int limit)
	: fModified(false),
	  fLimit(limit < kMinLimit ? kMinLimit : limit),
	  fStream(nullptr),
	  fCurrent(nullptr)
{
	Reset();
}

TIniFile::TIniFile(const entry_ref* ref, uint32 openMode, int limit)
	: TIniFile(limit)
{
	SetTo(ref, openMode, limit);
}

TIniFile::TIniFile(const BEntry* entry, uint32 openMode, int limit)
	: TIniFile(limit)
{
	SetTo(entry, openMode, limit);
}

TIniFile::TIniFile(const char* path, uint32 openMode, int limit)
	: TIniFile(limit)
{
	SetTo(path, openMode, limit);
}

TIniFile::TIniFile(const BDirectory* dir, const char* name, uint32 openMode, int limit)
	: TIniFile(limit)
{
	SetTo(dir, name, openMode, limit);
}

TIniFile::TIniFile(BPositionIO* stream, int limit)
	: TIniFile(limit)
{
	SetTo(stream, limit);
}

TIniFile::~TIniFile()
{
	Flush(false);
}

status_t TIniFile::SetTo(const entry_ref* ref, uint32 openMode, int limit)
{
	Unset();
	return FinishOpen(ref ? fFile.SetTo(ref, openMode) : B_BAD_VALUE, limit);
}

status_t TIniFile::SetTo(const BEntry* entry, uint32 openMode, int limit)
{
	Unset();
	return FinishOpen(entry ? fFile.SetTo(entry, openMode) : B_BAD_VALUE, limit);
}

status_t TIniFile::SetTo(const char* path, uint32 openMode, int limit)
{
	Unset();
	return FinishOpen(path ? fFile.SetTo(path, openMode) : B_BAD_VALUE, limit);
}

status_t TIniFile::SetTo(const BDirectory* dir, const char* name, uint32 openMode, int limit)
{
	Unset();
	status_t status = B_BAD_VALUE;
	if (dir != nullptr && name != nullptr)
		status = fFile.SetTo(dir, name, openMode);
	return FinishOpen(status, limit);
}

status_t TIniFile::SetTo(BPositionIO* stream, int limit)
{
	Unset();
	fLimit = limit < kMinLimit ? kMinLimit : limit;
	fStream = stream;
	Load();
	return stream ? B_OK : B_BAD_VALUE;
}

status_t TIniFile::FinishOpen(status_t status, int limit)
{
	fLimit = limit < kMinLimit ? kMinLimit : limit;
	if (status == B_OK)
		fStream = &fFile;
	else
		fFile.Unset();
	Load();
	return status;
}

void TIniFile::Unset()
{
	Flush(false);
	fFile.Unset();
	fStream = nullptr;
	Reset();
}

void TIniFile::Reset()
{
	fSections.clear();
	fSections.push_back(std::make_unique<TIniFileSection>(kIniGlobalSection, fLimit));
	fCurrent = fSections.front().get();
	fModified = false;
}

// #pragma mark - Reading the file

void TIniFile::Load()
{
	Reset();
	if (fStream == nullptr)
		return;

	std::string data;
	char buffer[8192];
	for (off_t offset = 0;;) {
		const ssize_t got = fStream->ReadAt(offset, buffer, sizeof(buffer));
		if (got <= 0)
			break;
		data.append(buffer, got);
		offset += got;
	}

	TIniFileSection* section = fCurrent;
	const size_t limit = static_cast<size_t>(fLimit);
	size_t position = 0;
	while (position < data.size()) {
		const size_t lineFeed = data.find('\n', position);
		const size_t end = lineFeed == std::string::npos ? data.size() : lineFeed;
		size_t length = end - position;
		if (lineFeed != std::string::npos && length > 0 && data[end - 1] == '\r')
			length--;
		if (length > limit) {
			// The rest of an over-long line is read as a line of its own.
			ParseLine(data.data() + position, limit, &section);
			position += limit;
			continue;
		}
		ParseLine(data.data() + position, length, &section);
		position = lineFeed == std::string::npos ? data.size() : lineFeed + 1;
	}
	fModified = false;
}

void TIniFile::ParseLine(const char* begin, size_t length, TIniFileSection** section)
{
	const std::string line = trimmed(std::string(begin, length));
	if (line.empty())
		return;

	if (line[0] == ';') {
		(*section)->AddComment(trimmed(line.substr(1)));
		return;
	}

	if (line[0] == '[') {
		const size_t close = line.find(']');
		std::string name
			= close == std::string::npos ? std::string() : trimmed(line.substr(1, close - 1));
		// Section names are C strings: a NUL ends the name.
		if (name.find('\0') != std::string::npos)
			name = trimmed(name.substr(0, name.find('\0')));
		fSections.push_back(std::make_unique<TIniFileSection>(name, fLimit));
		*section = fSections.back().get();
		return;
	}

	const size_t equals = line.find('=');
	if (equals == std::string::npos)
		(*section)->AddPair(std::string(), line);
	else
		(*section)->AddPair(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
}

// #pragma mark - Sections

TIniFileSection* TIniFile::FindSection(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (const auto& section : fSections) {
		if (ini_name_equal(section->Name(), name))
			return section.get();
	}
	return nullptr;
}

bool TIniFile::SectionExists(const char* name)
{
	return FindSection(name) != nullptr;
}

bool TIniFile::ChangeSection(const char* name)
{
	TIniFileSection* section = FindSection(name);
	if (section == nullptr)
		section = CreateSection(name, -1);
	if (section == nullptr)
		return false;
	fCurrent = section;
	return true;
}

TIniFileSection* TIniFile::CreateSection(const char* name, int index)
{
	if (!is_writable_section_name(name))
		return nullptr;
	// "[" and "]" around the name must still fit on the line.
	// A name cut short is trimmed again: it is kept as it reads back.
	std::string text = trimmed(name);
	cut_to(&text, fLimit - 2);
	text = trimmed(text);
	// The global section stays the first; nothing goes ahead of it.
	if (index == 0)
		index = 1;
	auto section = std::make_unique<TIniFileSection>(text, fLimit);
	TIniFileSection* made = section.get();
	if (index < 0 || static_cast<size_t>(index) >= fSections.size())
		fSections.push_back(std::move(section));
	else
		fSections.insert(fSections.begin() + index, std::move(section));
	return made;
}

bool TIniFile::DeleteSection(const char* name)
{
	if (name == nullptr)
		return false;
	// The name may point into the section itself (EnumSections hands such
	// pointers out), so it is copied before the section is erased.
	const std::string own(name);
	name = own.c_str();
	auto it = fSections.begin();
	while (it != fSections.end() && !ini_name_equal((*it)->Name(), name))
		++it;
	if (it == fSections.end())
		return false;

	// The current section may be deleted under another spelling of its
	// name; it must never be left pointing at a deleted section.
	const bool wasCurrent = it->get() == fCurrent || strcmp(fCurrent->Name(), name) == 0;
	fSections.erase(it);
	if (strcmp(name, kIniGlobalSection) == 0 || fSections.empty()) {
		fSections.insert(fSections.begin(),
			std::make_unique<TIniFileSection>(kIniGlobalSection, fLimit));
	}
	if (wasCurrent)
		fCurrent = fSections.front().get();
	fModified = true;
	return true;
}

bool TIniFile::EnumSections(BList* out)
{
	if (out == nullptr)
		return false;
	for (const auto& section : fSections)
		out->AddItem(const_cast<char*>(section->Name()));
	return true;
}

// #pragma mark - Keys and values

bool TIniFile::KeyExists(const char* key)
{
	return key != nullptr && fCurrent->FindPair(key) != nullptr;
}

bool TIniFile::EnumKeys(BList* out)
{
	if (out == nullptr)
		return false;
	for (int32 i = 0; i < fCurrent->CountPairs(); i++)
		out->AddItem(const_cast<char*>(fCurrent->PairAt(i)->key.c_str()));
	return true;
}

bool TIniFile::DeleteKey(const char* key)
{
	if (key == nullptr || !fCurrent->DeletePair(key))
		return false;
	fModified = true;
	return true;
}

bool TIniFile::ReadValue(const char* key, char* out)
{
	const TIniFilePair* pair = key ? fCurrent->FindPair(key) : nullptr;
	if (pair == nullptr || out == nullptr)
		return false;
	memcpy(out, pair->value.c_str(), pair->value.size() + 1);
	return true;
}

bool TIniFile::ReadValue(const char* key, bool* out)
{
	const TIniFilePair* pair = key ? fCurrent->FindPair(key) : nullptr;
	if (pair == nullptr || out == nullptr)
		return false;
	parse_bool(pair->value, out);
	return true;
}

bool TIniFile::ReadValue(const char* key, int32* out)
{
	const TIniFilePair* pair = key ? fCurrent->FindPair(key) : nullptr;
	if (pair == nullptr || out == nullptr)
		return false;
	parse_integer(pair->value, out);
	return true;
}

bool TIniFile::ReadValue(const char* key, int64* out)
{
	const TIniFilePair* pair = key ? fCurrent->FindPair(key) : nullptr;
	if (pair == nullptr || out == nullptr)
		return false;
	parse_integer(pair->value, out);
	return true;
}

bool TIniFile::ReadValue(const char* key, float* out)
{
	const TIniFilePair* pair = key ? fCurrent->FindPair(key) : nullptr;
	if (pair == nullptr || out == nullptr)
		return false;
	const char* begin = pair->value.c_str();
	const char* end = begin + pair->value.size();
	if (begin != end && *begin == '+')
		begin++;
	float value = 0;
	const auto result = std::from_chars(begin, end, value);
	if (result.ec == std::errc() && result.ptr == end)
		*out = value;
	return true;
}

bool TIniFile::ReadValue(const char* key, rgb_color* out)
{
	const TIniFilePair* pair = key ? fCurrent->FindPair(key) : nullptr;
	if (pair == nullptr || out == nullptr)
		return false;
	parse_color(pair->value, out);
	return true;
}

bool TIniFile::WriteValue(const char* key, const char* text)
{
	if (key == nullptr || text == nullptr || strchr(text, '\n') != nullptr)
		return false;
	// A key that reads back as something else would lose the pair, or
	// turn it into a comment or a section.
	const std::string keyText(key);
	const std::string start = trimmed(keyText);
	if (keyText.find_first_of("=\r\n") != std::string::npos
		|| (!start.empty() && (start[0] == ';' || start[0] == '['))
		|| static_cast<long>(keyText.size()) > fLimit - 1) {
		return false;
	}
	// The pair must fit on one line as key=value.
	std::string value(text);
	cut_to(&value, fLimit - 1 - static_cast<long>(keyText.size()));
	// Blanks around a value are not read back; the value is kept as the
	// file will give it (also where the cut leaves a blank at its end).
	value = trimmed(value);

	TIniFilePair* pair = fCurrent->FindPair(key);
	if (pair == nullptr)
		pair = fCurrent->AddPair(keyText, std::string());
	pair->value = value;
	fModified = true;
	return true;
}

bool TIniFile::WriteValue(const char* key, bool value)
{
	return WriteValue(key, value ? "1" : "0");
}

bool TIniFile::WriteValue(const char* key, int32 value)
{
	return WriteValue(key, std::to_string(value).c_str());
}

bool TIniFile::WriteValue(const char* key, int64 value)
{
	return WriteValue(key, std::to_string(static_cast<long long>(value)).c_str());
}

bool TIniFile::WriteValue(const char* key, float value)
{
	char text[32];
	const auto result = std::to_chars(text, text + sizeof(text) - 1, value,
		std::chars_format::general, 6);
	*result.ptr = '\0';
	return WriteValue(key, text);
}

bool TIniFile::WriteValue(const char* key, rgb_color value)
{
	char text[32];
	snprintf(text, sizeof(text), "%u %u %u %u", value.red, value.green, value.blue,
		value.alpha);
	return WriteValue(key, text);
}

// #pragma mark - Comments

bool TIniFile::WriteComment(const char* text)
{
	if (text == nullptr)
		return false;
	// Each line of the text is a comment line of its own, so that no part
	// of it is read back as a pair or a section.
	const std::string all(text);
	size_t position = 0;
	do {
		size_t end = all.find('\n', position);
		if (end == std::string::npos)
			end = all.size();
		std::string line = trimmed(all.substr(position, end - position));
		cut_to(&line, fLimit - 1);
		fCurrent->AddComment(trimmed(line));
		position = end + 1;
	} while (position <= all.size());
	fModified = true;
	return true;
}

bool TIniFile::ReadComment(char* out)
{
	std::string line;
	if (out == nullptr || !fCurrent->ReadComment(&line))
		return false;
	memcpy(out, line.c_str(), line.size() + 1);
	return true;
}

// #pragma mark - Writing the file

std::string TIniFile::BuildImage()
{
	const size_t limit = static_cast<size_t>(fLimit);
	// The usual form, or the one without blanks when that is too long.
	auto fit = [limit](std::string spaced, std::string compact) {
		return spaced.size() <= limit ? spaced : compact;
	};

	std::string image;
	for (const auto& section : fSections) {
		const std::string name = section->Name();
		if (section.get() != fSections.front().get() || name != kIniGlobalSection)
			image += fit("[ " + name + " ]", "[" + name + "]") + '\n';

		// Reading comments starts again from the first after a flush.
		section->RewindComments();
		const std::string& comments = section->Comments();
		for (size_t start = 0; start < comments.size();) {
			const size_t end = comments.find('\n', start);
			const std::string comment = comments.substr(start, end - start);
			image += fit("; " + comment, ";" + comment) + '\n';
			start = end + 1;
		}

		for (int32 i = 0; i < section->CountPairs(); i++) {
			const TIniFilePair* pair = section->PairAt(i);
			std::string line = fit(pair->key + " = " + pair->value, pair->key + "=" + pair->value);
			// A pair read from a line without "=" may fill the whole line;
			// written alone it reads back the same.
			if (line.size() > limit && pair->key.empty()
				&& pair->value.find('=') == std::string::npos
				&& pair->value[0] != ';' && pair->value[0] != '[') {
				line = pair->value;
			}
			image += line + '\n';
		}
		image += '\n';
	}
	return image;
}

bool TIniFile::WriteImage(const std::string& image)
{
	size_t written = 0;
	while (written < image.size()) {
		const ssize_t result = fStream->WriteAt(written, image.data() + written,
			image.size() - written);
		if (result <= 0)
			return false;
		written += result;
	}
	if (fStream->SetSize(image.size()) == B_OK)
		return true;

	// A stream that cannot shrink: blank out what is left of the old text.
	// Empty lines are skipped when reading, so nothing of it comes back.
	off_t size = 0;
	if (fStream->GetSize(&size) != B_OK)
		return false;
	if (size <= static_cast<off_t>(image.size()))
		return true;
	const std::string blank(size - image.size(), '\n');
	return fStream->WriteAt(image.size(), blank.data(), blank.size())
		== static_cast<ssize_t>(blank.size());
}

bool TIniFile::Flush(bool force)
{
	if (fStream == nullptr || (!fModified && !force))
		return false;
	if (!WriteImage(BuildImage()))
		return false;
	fModified = false;
	return true;
}
