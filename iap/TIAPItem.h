// One inter-application preference: a value shared by all programs of the
// family, kept in a file of its own ("<name>.arc" in the "Shared" settings
// folder) and edited in the common preference window through a
// configuration view.
//
// The base class holds the item's name and the references it was given;
// every value operation answers -1 (not supported). The kinds derive from
// it and add one value each.
//
// Ownership: the item does not own the signature or the language table it
// refers to; the store that holds the item owns the item.
//
// Threads: window threads read the value while the communication manager's
// thread applies changes. Every value and reference is therefore read and
// written under the item's lock. Writers of a kind also hold the save lock
// from the change of the value until its file is written, so that the file
// ends up with the value that was set last; readers never wait for a file.
#ifndef IAP_T_IAP_ITEM_H
#define IAP_T_IAP_ITEM_H

#include <Message.h>
#include <SupportDefs.h>

#include <mutex>
#include <string>

class BView;
class TLLT;

class TIAPItem {
public:
	explicit TIAPItem(const char* name);
	virtual ~TIAPItem();

	// Builds the item's configuration view for the current value, or for
	// the default one with `dflt`; the caller owns the view.
	virtual status_t MakeConfigurationView(BView** view, bool dflt);
	// Adds the value fields ('_ipc' message) of the current or default value.
	virtual status_t GetValue(BMessage* msg, bool dflt) const;
	// Applies a '_ipc' message.
	virtual status_t SetValue(const BMessage& msg);
	virtual status_t GetBool(bool* value, bool dflt) const;
	virtual status_t SetBool(bool value);
	virtual status_t GetString(std::string* value, bool dflt) const;
	virtual status_t SetString(const std::string& value);

	std::string Name() const;
	const char* AppSignatureRef() const;
	TLLT* LLTRef() const;
	status_t SetAppSignatureRef(const char* signature);
	status_t SetLLTRef(TLLT* table);

protected:
	// "IAP:SrcApp" (this program's signature) and "IAP:SrcIAPItem" (the name).
	void AddDefaultInfo(BMessage* msg) const;
	// True when `msg` names this program as the source of the value.
	bool IsFromThisApp(const BMessage& msg) const;

	// The item's file into `msg`; the unflatten's result.
	status_t Load(BMessage* msg) const;
	// The stored value, or the default one when the file holds none.
	status_t LoadBool(bool* value) const;
	status_t LoadString(std::string* value) const;
	// Writes `msg` with "IAP:SrcApp" added as the item's file. The old file
	// is replaced only once the new one is complete.
	status_t Save(BMessage msg) const;
	status_t SaveBool(bool value) const;
	status_t SaveString(const std::string& value) const;

	// Guards the references and the kinds' values.
	mutable std::mutex fLock;
	// Held by the kinds from a change of the value until it is saved.
	mutable std::mutex fSaveLock;

private:
	TIAPItem(const TIAPItem&) = delete;
	TIAPItem& operator=(const TIAPItem&) = delete;

	const char* fAppSignature;
	const std::string fName;
	TLLT* fLLT;
};

#endif
