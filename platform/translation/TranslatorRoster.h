// BTranslatorRoster: a set of translators, and the way applications use
// them: find out what a stream holds, which translators could turn it into
// a wanted format, and have the best of them do it.
//
// Where translators come from:
//   - built in: PNG, JPEG, GIF and BMP images to and from the standard
//     bitmap format (PNG is also written);
//   - translator add-ons: shared libraries exporting make_nth_translator
//     (or the older symbols of <TranslatorAddOn.h>);
//   - objects of the application, given with AddTranslator().
//
// The translators folders on this system, read by AddTranslators(NULL) and
// so by Default(), in this order:
//   Translators, in the folder of the running program (the translators
//                that come with the program; a build puts them there)
//   lib/<program name>/Translators, for a program in a folder "bin": the
//                translators installed with it (/usr/bin/melodeck reads
//                /usr/lib/melodeck/Translators)
//   the user's translators folder, find_directory(B_USER_TRANSLATORS_DIRECTORY):
//                $XDG_DATA_HOME/be/add-ons/Translators
//   $XDG_DATA_HOME/verso/translators  ($HOME/.local/share/verso/translators
//                                      when XDG_DATA_HOME is not set)
//   every folder or file named in $TRANSLATORS (absolute paths separated by
//   colons)
// Missing folders are skipped.
//
// Ownership: Default() belongs to the kit (never delete it); it is deleted,
// and its translators released, when the program exits. Any other roster
// belongs to its creator. A roster holds a reference to each of its
// translators and releases them when it is deleted; an add-on is unloaded
// with the roster unless one of its translators is still referenced
// elsewhere, in which case it stays loaded for the life of the process.
//
// Every call may be made from any thread. The roster does not hold its
// lock while a translator works, so translations run side by side, each in
// its caller's thread.
//
// Arrays returned through outInfo and outList are allocated with new[];
// the caller deletes them with delete[]. Strings and format tables
// returned by the Get...() calls belong to the translator and live as long
// as the roster does.
#ifndef _TRANSLATOR_ROSTER_H
#define _TRANSLATOR_ROSTER_H

#include <Archivable.h>
#include <TranslationDefs.h>

struct entry_ref;
class BMessage;
class BPositionIO;
class BRect;
class BTranslator;
class BView;

namespace BPrivate {
struct TranslatorRosterData;
}

class BTranslatorRoster : public BArchivable {
public:
	// An empty roster.
	BTranslatorRoster();
	// A roster loaded from the paths in the "be:translator_path" strings of
	// `model` (as Archive() writes them).
	BTranslatorRoster(BMessage* model);
	virtual ~BTranslatorRoster();

	// The kit's version (see TranslationDefs.h) and a description of it.
	static const char* Version(int32* outCurVersion, int32* outMinVersion,
		int32 inAppVersion = B_TRANSLATION_CURRENT_VERSION);

	// The application's roster, with the built-in translators and those of
	// the translators folders, made on first use.
	static BTranslatorRoster* Default();

	// Records the path of every loaded add-on as "be:translator_path".
	virtual status_t Archive(BMessage* into, bool deep = true) const;
	static BArchivable* Instantiate(BMessage* from);

	// Loads translator add-ons from `loadPath`: absolute paths of folders
	// (every file in them; files that are not add-ons are skipped) or of
	// add-on files, separated by colons. An add-on already in the roster is
	// not loaded twice. NULL: the built-in translators and the translators
	// folders (see above).
	// B_OK when every named path was read and every named file loaded,
	// B_BAD_VALUE for a relative path, otherwise the first error met (the
	// rest is still loaded).
	virtual status_t AddTranslators(const char* loadPath = NULL);
	// Adds one translator object of the application; the roster acquires
	// it. B_BAD_VALUE for NULL; B_OK if it is already in the roster.
	virtual status_t AddTranslator(BTranslator* translator);

	// The translator best suited (highest quality x capability) to turn
	// `inSource` into `inWantType` (0: any), with what it says about the
	// data. The hints, when given, name the format the caller expects.
	// B_NO_TRANSLATOR when none recognises the data. The stream is left
	// where it was.
	virtual status_t Identify(BPositionIO* inSource, BMessage* ioExtension,
		translator_info* outInfo, uint32 inHintType = 0,
		const char* inHintMIME = NULL, uint32 inWantType = 0);
	// Every translator that can, best first.
	virtual status_t GetTranslators(BPositionIO* inSource,
		BMessage* ioExtension, translator_info** outInfo, int32* outNumInfo,
		uint32 inHintType = 0, const char* inHintMIME = NULL,
		uint32 inWantType = 0);
	virtual status_t GetAllTranslators(translator_id** outList,
		int32* outCount);

	// What a translator says about itself. B_NO_TRANSLATOR for an unknown id.
	virtual status_t GetTranslatorInfo(translator_id forTranslator,
		const char** outName, const char** outInfo, int32* outVersion);
	virtual status_t GetInputFormats(translator_id forTranslator,
		const translation_format** outFormats, int32* outNumFormats);
	virtual status_t GetOutputFormats(translator_id forTranslator,
		const translation_format** outFormats, int32* outNumFormats);

	// Translates `inSource` (from where it stands when called) into
	// `inWantOutType`, written to `outDestination`. With inInfo NULL the
	// best translator is found first (as Identify()); otherwise
	// inInfo->translator does the work.
	virtual status_t Translate(BPositionIO* inSource,
		const translator_info* inInfo, BMessage* ioExtension,
		BPositionIO* outDestination, uint32 inWantOutType,
		uint32 inHintType = 0, const char* inHintMIME = NULL);
	// The same with a chosen translator, which must recognise the data.
	virtual status_t Translate(translator_id inTranslator,
		BPositionIO* inSource, BMessage* ioExtension,
		BPositionIO* outDestination, uint32 inWantOutType);

	// The translator's own configuration view and message (the translator
	// may have none: B_ERROR, or what it returns).
	virtual status_t MakeConfigurationView(translator_id forTranslator,
		BMessage* ioExtension, BView** outView, BRect* outExtent);
	virtual status_t GetConfigurationMessage(translator_id forTranslator,
		BMessage* ioExtension);

	// The add-on file a translator was loaded from. B_NO_TRANSLATOR for an
	// unknown id, B_ENTRY_NOT_FOUND for a translator that is built in or was
	// given with AddTranslator().
	status_t GetRefFor(translator_id translator, entry_ref* outRef);

private:
	BTranslatorRoster(const BTranslatorRoster&) = delete;
	BTranslatorRoster& operator=(const BTranslatorRoster&) = delete;

	friend struct BPrivate::TranslatorRosterData;

	BPrivate::TranslatorRosterData* fData;
};

#endif
