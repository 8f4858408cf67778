#include "translator/Packscope.h"

#include "translator/ConfigView.h"

#include <DataIO.h>
#include <Errors.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Message.h>
#include <OS.h>
#include <Path.h>
#include <image.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <mutex>
#include <random>

using packscope::ArchiveEntry;

const char* const gAppName = "Packscope";
const char* const gAppVer = "Ver 1.20 Beta";
const char* const gHandleKind = "ZIP Archives";
const char* const gAppSignature = "application/x-vnd.ORVIK-Packscope";
const char* const gCright = "Copyright (C) ORVIK. All rights reserved.";

namespace {

const char* const kEntryField = "Arc/entry";
const char* const kTargetField = "Arc/target";
const char* const kStatusField = "Arc/status";

const size_t kChunkSize = 8192;

// unzip's exit codes: 0 success, 1 success with warnings, 11 no member
// matched the name given.
const int32 kUnzipWarning = 1;
const int32 kUnzipNoMatch = 11;

const translation_format kInputFormats[] = {
	{ 0, PACKSCOPE_ARCHIVE_GROUP, 0.4f, 0.5f, "application/zip", "ZIP Archive" },
};

const translation_format kOutputFormats[] = {
	{ PACKSCOPE_EXTRACT_TYPE, PACKSCOPE_ARCHIVE_GROUP, 0.4f, 0.5f, "application/zip",
		"ZIP Archive" },
	{ PACKSCOPE_LIST_TYPE, PACKSCOPE_ARCHIVE_GROUP, 0.4f, 0.5f, "application/zip",
		"ZIP Archive" },
};

// Three letters of a random source shared by all threads.
std::string random_letters()
{
	static std::mutex lock;
	static std::mt19937 generator{ std::random_device{}() };
	std::lock_guard<std::mutex> guard(lock);
	std::string letters(3, 'a');
	for (char& letter : letters)
		letter = (char)('a' + generator() % 26);
	return letters;
}

void fill_info(translator_info* info, uint32 type, const char* name, const char* mime)
{
	info->type = type;
	info->group = PACKSCOPE_ARCHIVE_GROUP;
	snprintf(info->name, sizeof(info->name), "%s", name);
	snprintf(info->MIME, sizeof(info->MIME), "%s", mime);
}

void remove_file(const std::string& path)
{
	if (path.empty())
		return;
	BEntry entry(path.c_str());
	entry.Remove();
}

std::string read_whole_file(const std::string& path)
{
	std::string text;
	BFile file(path.c_str(), B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return text;
	char buffer[kChunkSize];
	ssize_t count;
	while ((count = file.Read(buffer, sizeof(buffer))) > 0)
		text.append(buffer, (size_t)count);
	return text;
}

off_t file_size(const std::string& path)
{
	BFile file(path.c_str(), B_READ_ONLY);
	off_t size = -1;
	if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK)
		return -1;
	return size;
}

}

TPackscope::TPackscope()
{
	BPath temp;
	if (find_directory(B_COMMON_TEMP_DIRECTORY, &temp, true) != B_OK) {
		fprintf(stderr, "Packscope: no private temporary folder; ZIP archives "
			"cannot be read.\n");
		return;
	}
	char leaf[96];
	snprintf(leaf, sizeof(leaf), "PKSCTmp_%d_%lld_%s", (int)current_team(),
		(long long)system_time(), random_letters().c_str());
	std::string folder = std::string(temp.Path()) + "/" + leaf;
	if (create_directory(folder.c_str(), 0700) != B_OK) {
		fprintf(stderr, "Packscope: cannot make the work folder %s; ZIP archives "
			"cannot be read.\n", folder.c_str());
		return;
	}
	fWorkFolder = folder + "/";
}

TPackscope::~TPackscope()
{
	if (!fWorkFolder.empty())
		DeleteFolder(fWorkFolder.c_str());
}

const char*
TPackscope::TranslatorName() const
{
	return gHandleKind;
}

const char*
TPackscope::TranslatorInfo() const
{
	static const std::string info = std::string(gAppName) + " " + gAppVer
		+ " by ORVIK";
	return info.c_str();
}

int32
TPackscope::TranslatorVersion() const
{
	return (gAppVer[4] - '0') * 256 + (gAppVer[6] - '0') * 16 + (gAppVer[7] - '0');
}

const translation_format*
TPackscope::InputFormats(int32* outCount) const
{
	if (outCount != NULL)
		*outCount = sizeof(kInputFormats) / sizeof(kInputFormats[0]);
	return kInputFormats;
}

const translation_format*
TPackscope::OutputFormats(int32* outCount) const
{
	if (outCount != NULL)
		*outCount = sizeof(kOutputFormats) / sizeof(kOutputFormats[0]);
	return kOutputFormats;
}

status_t
TPackscope::Identify(BPositionIO* inSource, const translation_format* /*inFormat*/,
	BMessage* /*ioExtension*/, translator_info* outInfo, uint32 outType)
{
	if (inSource == NULL || outInfo == NULL)
		return B_BAD_VALUE;
	inSource->Seek(0, SEEK_SET);
	switch (outType) {
		case PACKSCOPE_LIST_TYPE:
			return IdentifyToList(inSource, outInfo);
		case PACKSCOPE_EXTRACT_TYPE:
			return IdentifyToRaw(inSource, outInfo);
		case PACKSCOPE_STATUS_TYPE:
			return IdentifyToStatus(inSource, outInfo);
		default:
			return B_NO_TRANSLATOR;
	}
}

status_t
TPackscope::Translate(BPositionIO* inSource, const translator_info* /*inInfo*/,
	BMessage* ioExtension, uint32 outType, BPositionIO* outDestination)
{
	if (inSource == NULL)
		return B_BAD_VALUE;
	inSource->Seek(0, SEEK_SET);
	switch (outType) {
		case PACKSCOPE_LIST_TYPE:
			return TranslateToList(inSource, ioExtension);
		case PACKSCOPE_EXTRACT_TYPE:
			return TranslateToRaw(inSource, ioExtension, outDestination);
		case PACKSCOPE_STATUS_TYPE:
			return TranslateToStatus(inSource, ioExtension);
		default:
			return B_NO_TRANSLATOR;
	}
}

status_t
TPackscope::MakeConfigurationView(BMessage* /*ioExtension*/, BView** outView,
	BRect* outExtent)
{
	if (outView == NULL || outExtent == NULL)
		return B_BAD_VALUE;
	TConfigView* view = new TConfigView(BRect(0, 0, 300, 100));
	*outView = view;
	*outExtent = view->Bounds();
	return B_OK;
}

status_t
TPackscope::IdentifyOfZIPArc(BPositionIO* source, translator_info* outInfo)
{
	if (source == NULL || outInfo == NULL)
		return B_BAD_VALUE;
	source->Seek(0, SEEK_SET);
	uint8 header[32];
	size_t got = 0;
	while (got < 4) {
		ssize_t count = source->Read(header + got, sizeof(header) - got);
		if (count <= 0)
			break;
		got += (size_t)count;
	}
	if (got < 4 || header[0] != 'P' || header[1] != 'K' || header[2] != 3
		|| header[3] != 4)
		return B_NO_TRANSLATOR;
	outInfo->quality = 0.4f;
	outInfo->capability = 0.5f;
	return B_OK;
}

status_t
TPackscope::IdentifyToList(BPositionIO* source, translator_info* outInfo)
{
	fill_info(outInfo, PACKSCOPE_LIST_TYPE, "", "");
	return IdentifyOfZIPArc(source, outInfo);
}

status_t
TPackscope::IdentifyToRaw(BPositionIO* source, translator_info* outInfo)
{
	fill_info(outInfo, 0, "Melt", "application/octet-stream");
	return IdentifyOfZIPArc(source, outInfo);
}

status_t
TPackscope::IdentifyToStatus(BPositionIO* source, translator_info* outInfo)
{
	fill_info(outInfo, PACKSCOPE_STATUS_TYPE, "", "");
	return IdentifyOfZIPArc(source, outInfo);
}

status_t
TPackscope::TranslateToList(BPositionIO* source, BMessage* ioExtension)
{
	// The list goes into the extension message; without one it has
	// nowhere to go.
	if (ioExtension == NULL)
		return B_BAD_VALUE;
	std::string archive;
	std::vector<ArchiveEntry> entries;
	status_t status = ListSource(source, &archive, &entries);
	remove_file(archive);
	ioExtension->RemoveName(kEntryField);
	// A missing or failing unzip lists nothing; that is not an error of
	// the translation.
	if (status != B_OK && status != B_ENTRY_NOT_FOUND)
		return status;
	for (const ArchiveEntry& entry : entries)
		ioExtension->AddString(kEntryField, entry.name.c_str());
	return B_OK;
}

status_t
TPackscope::TranslateToRaw(BPositionIO* source, BMessage* ioExtension,
	BPositionIO* destination)
{
	if (destination == NULL)
		return B_BAD_VALUE;
	std::string archive;
	ArchiveEntry entry;
	status_t status = TargetEntry(source, ioExtension, &archive, &entry);
	if (status != B_OK) {
		remove_file(archive);
		return status;
	}

	// unzip -p writes the member to its standard output, which goes into a
	// work file; nothing is written anywhere else, whatever the member's
	// name. -P with an empty password keeps unzip from asking for one on
	// the terminal when a member is encrypted.
	const std::string contents = GenerateTmpFileName();
	int32 exitCode = 0;
	status = RunUnzip({ "-p", "-P", "", archive,
		packscope::literal_member_pattern(entry.name) }, contents, &exitCode);
	std::string pattern;
	if (status == B_OK && exitCode == kUnzipNoMatch
		&& packscope::control_member_pattern(entry.name, &pattern)) {
		// "^J" in the listing may stand for a control character.
		status = RunUnzip({ "-p", "-P", "", archive, pattern }, contents, &exitCode);
	}
	remove_file(archive);

	// Only the member itself is handed on: a failed extraction, or output
	// of another length than the member's (a name that matched several
	// members), writes nothing.
	if (status == B_OK && (exitCode == 0 || exitCode == kUnzipWarning)
		&& file_size(contents) == entry.size)
		status = FileToPosIO(contents.c_str(), destination);
	else if (status == B_ENTRY_NOT_FOUND || status == B_OK)
		status = B_OK;
	remove_file(contents);
	return status;
}

status_t
TPackscope::TranslateToStatus(BPositionIO* source, BMessage* ioExtension)
{
	std::string archive;
	ArchiveEntry entry;
	status_t status = TargetEntry(source, ioExtension, &archive, &entry);
	remove_file(archive);
	if (status != B_OK)
		return status;
	BMessage message((uint32)0);
	message.AddString("filename", entry.name.c_str());
	message.AddString("format", "ZIP/-----");
	message.AddInt64("mtime", packscope::entry_time_ms(entry));
	message.AddInt64("size", entry.size);
	return ioExtension->AddMessage(kStatusField, &message);
}

status_t
TPackscope::ListSource(BPositionIO* source, std::string* archive,
	std::vector<ArchiveEntry>* entries)
{
	entries->clear();
	if (fWorkFolder.empty())
		return B_NO_INIT;
	*archive = GenerateTmpFileName();
	status_t status = PosIOToFile(source, archive->c_str());
	if (status != B_OK)
		return status;

	// -q leaves out the archive's name and its comment, which could
	// otherwise pose as member lines.
	const std::string listing = GenerateTmpFileName();
	int32 exitCode = 0;
	status = RunUnzip({ "-l", "-q", *archive }, listing, &exitCode);
	if (status == B_OK)
		*entries = packscope::read_unzip_listing(read_whole_file(listing));
	remove_file(listing);
	return status;
}

status_t
TPackscope::TargetEntry(BPositionIO* source, BMessage* ioExtension,
	std::string* archive, ArchiveEntry* entry)
{
	int32 target = 0;
	if (ioExtension == NULL || ioExtension->FindInt32(kTargetField, &target) != B_OK)
		return B_ERROR;
	if (target < 0)
		return B_BAD_INDEX;
	std::vector<ArchiveEntry> entries;
	status_t status = ListSource(source, archive, &entries);
	if (status != B_OK && status != B_ENTRY_NOT_FOUND)
		return status;
	if ((size_t)target >= entries.size())
		return B_BAD_INDEX;
	*entry = entries[(size_t)target];
	return B_OK;
}

status_t
TPackscope::RunUnzip(const std::vector<std::string>& arguments,
	const std::string& outputPath, int32* exitCode)
{
	std::vector<const char*> argv;
	argv.push_back("unzip");
	for (const std::string& argument : arguments)
		argv.push_back(argument.c_str());
	argv.push_back(NULL);

	// A known locale, so that names are shown as UTF-8, and none of the
	// user's own UNZIP options; the time zone stays the caller's, as the
	// listed times are local times.
	std::vector<std::string> settings;
	const char* path = getenv("PATH");
	settings.push_back(std::string("PATH=") + (path != NULL ? path : "/usr/bin:/bin"));
	settings.push_back("LC_ALL=C.UTF-8");
	if (const char* zone = getenv("TZ"))
		settings.push_back(std::string("TZ=") + zone);
	std::vector<const char*> envp;
	for (const std::string& setting : settings)
		envp.push_back(setting.c_str());
	envp.push_back(NULL);

	const std::string errors = GenerateTmpFileName();
	image_stdio stdio = { "/dev/null", outputPath.c_str(), errors.c_str() };
	thread_id thread = load_image_with_stdio((int32)argv.size() - 1, argv.data(),
		envp.data(), &stdio);
	if (thread < 0) {
		if (thread == B_ENTRY_NOT_FOUND)
			fprintf(stderr, "Packscope: the command \"unzip\" is not on the command "
				"path; ZIP archives cannot be listed or extracted until it is "
				"installed.\n");
		else
			fprintf(stderr, "Packscope: cannot start \"unzip\": %s\n", strerror_status(thread));
		return thread;
	}
	status_t result = B_OK;
	status_t status = wait_for_thread(thread, &result);
	if (status == B_OK && result < 0)
		status = result;
	if (status != B_OK) {
		fprintf(stderr, "Packscope: \"unzip\" did not run: %s\n", strerror_status(status));
	} else {
		*exitCode = result;
		// Real failures (not warnings, not a name without match) are told
		// with unzip's own first words about them.
		if (result > kUnzipWarning && result != kUnzipNoMatch) {
			// Its message, on one line.
			std::string text;
			for (char c : read_whole_file(errors)) {
				if (c == '\n' || c == '\t')
					c = ' ';
				if (c != ' ' || (!text.empty() && text.back() != ' '))
					text += c;
				if (text.size() >= 300)
					break;
			}
			while (!text.empty() && text.back() == ' ')
				text.pop_back();
			fprintf(stderr, "Packscope: unzip failed (exit code %d)%s%s\n",
				(int)result, text.empty() ? "" : ": ", text.c_str());
		}
	}
	remove_file(errors);
	return status;
}

std::string
TPackscope::GenerateTmpFileName()
{
	static std::atomic<uint32> sequence{ 0 };
	char leaf[96];
	snprintf(leaf, sizeof(leaf), "%d_%lld_%u%s", (int)find_thread(NULL),
		(long long)system_time(), (unsigned)sequence.fetch_add(1),
		random_letters().c_str());
	return fWorkFolder + leaf;
}

void
TPackscope::DeleteFolder(const char* path)
{
	BDirectory folder(path);
	if (folder.InitCheck() == B_OK) {
		BEntry entry;
		while (folder.GetNextEntry(&entry, false) == B_OK) {
			BPath entryPath;
			if (entry.IsDirectory() && !entry.IsSymLink()
				&& entry.GetPath(&entryPath) == B_OK)
				DeleteFolder(entryPath.Path());
			else
				entry.Remove();
		}
	}
	BEntry self(path);
	self.Remove();
}

status_t
TPackscope::PosIOToFile(BPositionIO* source, const char* path)
{
	BFile file(path, B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	char buffer[kChunkSize];
	for (;;) {
		ssize_t count = source->Read(buffer, sizeof(buffer));
		if (count < 0)
			return (status_t)count;
		if (count == 0)
			return B_OK;
		if (file.Write(buffer, (size_t)count) != count)
			return B_IO_ERROR;
	}
}

status_t
TPackscope::FileToPosIO(const char* path, BPositionIO* destination)
{
	BFile file(path, B_READ_ONLY);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	char buffer[kChunkSize];
	for (;;) {
		ssize_t count = file.Read(buffer, sizeof(buffer));
		if (count < 0)
			return (status_t)count;
		if (count == 0)
			return B_OK;
		if (destination->Write(buffer, (size_t)count) != count)
			return B_IO_ERROR;
	}
}
