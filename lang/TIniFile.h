// INI files: sections, key-value pairs and comments in a text file.
//
// The whole file is read into memory when a source is set; reads and writes
// work on that image and Flush writes it back. Section names and keys are
// found without regard to the case of ASCII letters and keep their case when
// written. Lines end in LF or CR LF when read and in LF when written.
//
// Every line, name, value and comment is at most the line-length limit given
// when the source is set (2 at least, which "[]" takes). A line read that is longer is cut after `limit`
// bytes and the rest read as the next line. Writing keeps every line it
// produces within the limit, so a file written here reads back as written:
// over-long new values are cut, and a line that would be too long with the
// blanks around " = " (or inside "[ ]", after "; ") is written without them.
//
// Keys, comments and pairs before the first section header belong to the
// global section "_TIniF_GlobalSec", always the first section, never written
// as a header.
//
// Ownership: the object owns its sections and the file it opens itself; a
// stream passed to SetTo stays the caller's and must outlive its use here.
// Pointers handed out by EnumSections and EnumKeys point into the object and
// stay valid until their section or pair is deleted or the object is unset.
// Not thread-safe: one owner at a time.
#ifndef LANG_T_INI_FILE_H
#define LANG_T_INI_FILE_H

#include "TIniFileSection.h"

#include <DataIO.h>
#include <File.h>
#include <GraphicsDefs.h>
#include <SupportDefs.h>

#include <memory>
#include <vector>

class BDirectory;
class BEntry;
class BList;
struct entry_ref;

extern const char* const kIniGlobalSection;   // "_TIniF_GlobalSec"

class TIniFile {
public:
	// No source: only an empty global section, which is current.
	explicit TIniFile(int limit);
	TIniFile(const entry_ref* ref, uint32 openMode, int limit);
	TIniFile(const BEntry* entry, uint32 openMode, int limit);
	TIniFile(const char* path, uint32 openMode, int limit);
	TIniFile(const BDirectory* dir, const char* name, uint32 openMode, int limit);
	TIniFile(BPositionIO* stream, int limit);
	// Flushes unsaved changes, then frees everything.
	virtual ~TIniFile();

	// Makes the first section of `name` current, appending it when missing.
	// False (nothing changes) only for a name that could not be written back:
	// one holding "]" or a line end.
	virtual bool ChangeSection(const char* name);
	// Removes the first pair of `key` in the current section.
	virtual bool DeleteKey(const char* key);
	// Removes the first section of `name`; false when there is none.
	virtual bool DeleteSection(const char* name);
	// Appends the key texts (const char*) of the current section, in file
	// order, duplicates included.
	virtual bool EnumKeys(BList* out);
	// Appends the section names (const char*), the global section included.
	virtual bool EnumSections(BList* out);
	// Writes the image from the start of the stream and cuts the stream to
	// what was written. False when there is no stream, when nothing changed
	// and `force` is false, or when writing failed (the changes then stay
	// marked as unsaved).
	virtual bool Flush(bool force);
	virtual bool KeyExists(const char* key);
	// The next comment line of the current section into `out` (limit + 1
	// bytes); false when all have been read.
	virtual bool ReadComment(char* out);

	// The value of `key` in the current section. False when the key is
	// missing, and `out` is then untouched. A value that does not parse as
	// the type asked for leaves `out` untouched too, but reports true.
	// The text form copies into `out`, which must hold limit + 1 bytes.
	virtual bool ReadValue(const char* key, char* out);
	// 1 or 0; any other integer counts as true, and the words true, yes, on,
	// false, no, off are understood.
	virtual bool ReadValue(const char* key, bool* out);
	virtual bool ReadValue(const char* key, int32* out);
	virtual bool ReadValue(const char* key, int64* out);
	virtual bool ReadValue(const char* key, float* out);
	// Four numbers from 0 to 255: red, green, blue, alpha.
	virtual bool ReadValue(const char* key, rgb_color* out);

	virtual bool SectionExists(const char* name);

	// Each drops the current source (flushing it), opens the file with the
	// platform's open mode and loads it; they return the opening status.
	// When opening fails the object holds an empty global section.
	virtual status_t SetTo(const entry_ref* ref, uint32 openMode, int limit);
	virtual status_t SetTo(const BEntry* entry, uint32 openMode, int limit);
	virtual status_t SetTo(const char* path, uint32 openMode, int limit);
	virtual status_t SetTo(const BDirectory* dir, const char* name, uint32 openMode,
	                       int limit);
	// A stream the caller keeps owning. B_OK, or B_BAD_VALUE for NULL.
	virtual status_t SetTo(BPositionIO* stream, int limit);
	// Flushes unsaved changes, drops every section, closes the file.
	virtual void Unset();

	// Appends a comment to the current section; a text of several lines
	// becomes several comments.
	virtual bool WriteComment(const char* text);

	// Sets the value of `key` in the current section, appending the pair
	// when it is missing. False (nothing changes) for a key that would not
	// read back as itself: one holding "=" or a line end, one beginning with
	// ";" or "[", or one too long for a line; and for a text holding a line
	// feed. A text too long for the line is cut to fit (never inside a UTF-8
	// character).
	virtual bool WriteValue(const char* key, const char* text);
	virtual bool WriteValue(const char* key, bool value);
	virtual bool WriteValue(const char* key, int32 value);
	virtual bool WriteValue(const char* key, int64 value);
	// Six significant digits: 0.5, 1e-07.
	virtual bool WriteValue(const char* key, float value);
	virtual bool WriteValue(const char* key, rgb_color value);

	// Inserts a new section at `index` (-1 or past the end: appends; 0 puts
	// it right after the global section, which stays first). The current
	// section stays as it is. NULL for a name that could not be written
	// back.
	TIniFileSection* CreateSection(const char* name, int index);

	bool IsModified() const { return fModified; }
	int Limit() const { return fLimit; }
	// The current section, never NULL.
	TIniFileSection* CurrentSection() const { return fCurrent; }

private:
	TIniFile(const TIniFile&) = delete;
	TIniFile& operator=(const TIniFile&) = delete;

	void Reset();
	status_t FinishOpen(status_t status, int limit);
	void Load();
	void ParseLine(const char* begin, size_t length, TIniFileSection** section);
	TIniFileSection* FindSection(const char* name) const;
	std::string BuildImage();
	bool WriteImage(const std::string& image);

	bool fModified;
	int fLimit;
	BFile fFile;
	std::vector<std::unique_ptr<TIniFileSection>> fSections;
	BPositionIO* fStream;
	TIniFileSection* fCurrent;
};

#endif
