// What a BTranslatorRoster holds: its translators with their ids and the
// add-ons they came from, under one lock.
//
// The lock guards only the lists. Calls into translators are made without
// it, on references acquired under it, so a slow translation never holds
// up other threads and a translator may use the roster itself.
#ifndef TRANSLATION_TRANSLATOR_ROSTER_DATA_H
#define TRANSLATION_TRANSLATOR_ROSTER_DATA_H

#include <TranslationDefs.h>
#include <image.h>

#include <mutex>
#include <string>
#include <vector>

class BMessage;
class BPositionIO;
class BTranslator;
class BTranslatorRoster;

namespace BPrivate {

struct TranslatorRosterData {
	struct Entry {
		translator_id id;
		BTranslator* translator;
		image_id image;      // the add-on, or -1 (built in, or the application's)
		std::string path;    // the add-on's file, or empty
	};
	struct AddOn {
		image_id image;
		std::string path;
	};

	TranslatorRosterData() = default;
	// Releases the translators and unloads the add-ons none of whose
	// translators is still referenced elsewhere (and none at all when
	// unloadAddOns is false).
	~TranslatorRosterData();

	// Takes over the one reference `translator` comes with. Returns its id.
	translator_id Adopt(BTranslator* translator, image_id image,
		const std::string& path);
	// Adds an application's translator, acquiring it; false when it is
	// already in the roster.
	bool AddShared(BTranslator* translator);

	// An acquired reference to the translator with that id (and a copy of
	// its entry), or NULL.
	BTranslator* Acquire(translator_id id, Entry* entry = NULL) const;
	// Acquired copies of every entry, in the order they were added;
	// ReleaseAll() gives the references back.
	std::vector<Entry> AcquireAll() const;
	static void ReleaseAll(std::vector<Entry>& entries);

	// The built-in translators, once.
	void AddBuiltins();
	// One absolute path: a folder (every file in it) or an add-on file.
	// `named`: the caller named it, so failures count (a folder's files
	// that are no add-ons are always skipped quietly).
	status_t AddPath(const std::string& path, bool named);

	// Asks every translator whether it can turn `source` (from its current
	// position, which is restored after each) into `wantType`. `found`
	// receives the answers, best first (quality x capability; ties in the
	// order the translators were added).
	status_t IdentifyAll(BPositionIO* source, BMessage* ioExtension,
		uint32 hintType, const char* hintMIME, uint32 wantType,
		std::vector<translator_info>* found) const;

	// The paths of the loaded add-ons.
	std::vector<std::string> AddOnPaths() const;

	// Deletes the default roster when the program exits: its translators
	// are released, so that they can clean up after themselves, but their
	// add-ons stay mapped, since other exit-time code may still run in
	// them. (Defined with BTranslatorRoster, whose insides it reaches.)
	static void DeleteAtExit(BTranslatorRoster* roster);

	mutable std::mutex lock;
	std::vector<Entry> entries;
	std::vector<AddOn> addOns;
	translator_id nextId = 1;
	bool builtinsAdded = false;
	bool unloadAddOns = true;

private:
	TranslatorRosterData(const TranslatorRosterData&) = delete;
	TranslatorRosterData& operator=(const TranslatorRosterData&) = delete;

	status_t _AddFolder(const std::string& path, bool named);
	status_t _AddFile(const std::string& path, bool named);
	bool _HasAddOnLocked(const std::string& path) const;
};

}

#endif
