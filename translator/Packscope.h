// TPackscope: the translator of ZIP archives. It lists an archive's
// members, hands out one member's contents, and tells one member's name,
// length and time, by running the external `unzip` command on a copy of
// the archive.
//
// Output types (the group of all of them is 'Arc*'):
//   'ArcL'  the member names, as strings "Arc/entry" added to the extension
//           message in archive order (earlier ones are removed first);
//   'ArcE'  the contents of the member whose index is the int32
//           "Arc/target" of the extension message, written to the
//           destination;
//   'ArcS'  that member's status, added to the extension message as a
//           message "Arc/status" with "filename", "format", "mtime" (int64
//           milliseconds, the listed wall-clock time read as UTC) and
//           "size" (int64).
// Only sources that begin with a ZIP local header ("PK\3\4") are taken.
//
// Work files: each translator has a work folder of its own inside the
// user's private temporary folder (find_directory B_COMMON_TEMP_DIRECTORY),
// made when the translator is made and removed with everything in it when
// it goes away. Each translation uses files of its own in it and removes
// them when it ends. Member contents never reach the file system except
// through `unzip -p` into such a file, whatever the member's name.
//
// `unzip` is looked for on the command path and run with an argument
// vector (no shell), with a fixed locale (C.UTF-8) and none of the user's
// UNZIP options. When it is missing, a listing is empty and nothing is
// extracted, and a line on standard error says why.
//
// Several threads may use one translator at once.
#ifndef PACKSCOPE_PACKSCOPE_H
#define PACKSCOPE_PACKSCOPE_H

#include <Translator.h>

#include "translator/ZipListing.h"

#include <string>
#include <vector>

class BMessage;
class BPositionIO;

// Identity of the add-on.
extern const char* const gAppName;
extern const char* const gAppVer;
extern const char* const gHandleKind;
extern const char* const gAppSignature;
extern const char* const gCright;

enum {
	PACKSCOPE_ARCHIVE_GROUP = 'Arc*',
	PACKSCOPE_LIST_TYPE = 'ArcL',
	PACKSCOPE_EXTRACT_TYPE = 'ArcE',
	PACKSCOPE_STATUS_TYPE = 'ArcS'
};

class TPackscope : public BTranslator {
public:
	TPackscope();

	const char* TranslatorName() const override;
	const char* TranslatorInfo() const override;
	int32 TranslatorVersion() const override;
	const translation_format* InputFormats(int32* outCount) const override;
	const translation_format* OutputFormats(int32* outCount) const override;
	status_t Identify(BPositionIO* inSource, const translation_format* inFormat,
		BMessage* ioExtension, translator_info* outInfo, uint32 outType) override;
	status_t Translate(BPositionIO* inSource, const translator_info* inInfo,
		BMessage* ioExtension, uint32 outType, BPositionIO* outDestination) override;
	// A TConfigView (the caller owns it) and its bounds.
	status_t MakeConfigurationView(BMessage* ioExtension, BView** outView,
		BRect* outExtent) override;

	// The work folder, ending with "/"; empty when it could not be made.
	const std::string& WorkFolder() const { return fWorkFolder; }

	// Whether the first bytes of `source` (read from its start) are those
	// of a ZIP archive; fills outInfo's quality and capability when they are.
	static status_t IdentifyOfZIPArc(BPositionIO* source, translator_info* outInfo);

protected:
	~TPackscope() override;

private:
	status_t IdentifyToList(BPositionIO* source, translator_info* outInfo);
	status_t IdentifyToRaw(BPositionIO* source, translator_info* outInfo);
	status_t IdentifyToStatus(BPositionIO* source, translator_info* outInfo);

	status_t TranslateToList(BPositionIO* source, BMessage* ioExtension);
	status_t TranslateToRaw(BPositionIO* source, BMessage* ioExtension,
		BPositionIO* destination);
	status_t TranslateToStatus(BPositionIO* source, BMessage* ioExtension);

	// Copies the source into a new work file and lists it. On B_OK,
	// *archive names the copy (the caller removes it).
	status_t ListSource(BPositionIO* source, std::string* archive,
		std::vector<packscope::ArchiveEntry>* entries);
	// The entry that "Arc/target" names, for the extract and status
	// translations; B_ERROR without it, B_BAD_INDEX out of range.
	status_t TargetEntry(BPositionIO* source, BMessage* ioExtension,
		std::string* archive, packscope::ArchiveEntry* entry);

	// Runs unzip with `arguments` (after the program name), its standard
	// output into `outputPath`. B_OK and the exit code, or the reason it
	// could not run.
	status_t RunUnzip(const std::vector<std::string>& arguments,
		const std::string& outputPath, int32* exitCode);

	// A new, unused name in the work folder.
	std::string GenerateTmpFileName();
	static void DeleteFolder(const char* path);
	static status_t PosIOToFile(BPositionIO* source, const char* path);
	static status_t FileToPosIO(const char* path, BPositionIO* destination);

	std::string fWorkFolder;
};

#endif
