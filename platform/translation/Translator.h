// BTranslator: one translator, an object that recognises data in some
// formats and turns it into others. Subclasses implement the hooks; a
// translator add-on hands out its translators through make_nth_translator.
//
// Ownership is by reference count. A new translator has a count of 1 (its
// creator's reference); Acquire() adds one and Release() drops one,
// deleting the object when none is left. The destructor is protected:
// translators are released, never deleted from outside. A roster acquires
// every translator it is given and releases it when the roster goes away,
// so a creator that wants the roster to own the translator releases its
// own reference after adding it.
//
// Translators may be called from several threads at once; the reference
// count is atomic, the hooks must look after their own state.
#ifndef _TRANSLATOR_H
#define _TRANSLATOR_H

#include <Archivable.h>
#include <TranslationDefs.h>
#include <TranslatorRoster.h>
#include <image.h>

#include <atomic>

class BMessage;
class BPositionIO;
class BRect;
class BView;

class BTranslator : public BArchivable {
public:
	BTranslator();

	// Both return this translator, or NULL when Release() deleted it.
	BTranslator* Acquire();
	BTranslator* Release();
	// For debugging only: the value may change at any moment.
	int32 ReferenceCount();

	// A short name, a longer description, and the version (for example
	// 0x120 for 1.2.0). The strings belong to the translator.
	virtual const char* TranslatorName() const = 0;
	virtual const char* TranslatorInfo() const = 0;
	virtual int32 TranslatorVersion() const = 0;

	// The formats the translator reads and writes, and their number. The
	// arrays belong to the translator. Either may be empty.
	virtual const translation_format* InputFormats(int32* outCount) const = 0;
	virtual const translation_format* OutputFormats(int32* outCount) const = 0;

	// Examines `inSource` from its current position. B_OK, with outInfo
	// describing the data, when the translator can turn it into `outType`
	// (0: its preferred output); B_NO_TRANSLATOR when it cannot.
	// `inFormat`, when not NULL, is the caller's guess of the input format.
	virtual status_t Identify(BPositionIO* inSource,
		const translation_format* inFormat, BMessage* ioExtension,
		translator_info* outInfo, uint32 outType) = 0;
	// Reads `inSource` from its current position and writes the data in
	// format `outType` (0: preferred) to `outDestination`.
	virtual status_t Translate(BPositionIO* inSource,
		const translator_info* inInfo, BMessage* ioExtension, uint32 outType,
		BPositionIO* outDestination) = 0;

	// A view for the user to set the translator's options, which the caller
	// then owns, and its preferred size. B_ERROR by default: no options.
	virtual status_t MakeConfigurationView(BMessage* ioExtension,
		BView** outView, BRect* outExtent);
	// Writes the current options into ioExtension, in a form Translate()
	// accepts as its extension message. B_ERROR by default.
	virtual status_t GetConfigurationMessage(BMessage* ioExtension);

protected:
	virtual ~BTranslator();

private:
	BTranslator(const BTranslator&) = delete;
	BTranslator& operator=(const BTranslator&) = delete;

	std::atomic<int32> fRefCount;
};

// Exported by translator add-ons: returns a new translator for n = 0, 1, ...
// and NULL past the last one. `you` is the add-on's own image; `flags` is
// unused (0). The translator comes with its count of 1, which the caller
// (normally the roster) takes over.
extern "C" BTranslator* make_nth_translator(int32 n, image_id you,
	uint32 flags, ...);

#endif
