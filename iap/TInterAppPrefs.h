// The store of this program's inter-application preference items: the
// settings every program of the family shares (such as the accelerator
// format), each kept in its own file and exchanged at run time through the
// common preference window.
//
// The first program asked to show the window makes it, with the port
// "ORVIKIAPPort"; the others find the port and hand their items over it.
// A change made in the window is broadcast to every application as a
// '_ipc' message, which each program applies with SetValue.
//
// Ownership: the store owns its items and deletes them when it goes; it
// does not own the signature or the language table it refers to.
//
// Threads: the communication manager's thread applies changes and shows
// and closes the window while window threads read values. The item table
// is guarded by the store's lock and every value by its item's lock, so any
// thread may use the store at any time. Items are never removed before the
// store goes, so an item found under the lock stays valid after it.
#ifndef IAP_T_INTER_APP_PREFS_H
#define IAP_T_INTER_APP_PREFS_H

#include <Message.h>
#include <OS.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>

class TIAPItem;
class TIAPPortManager;
class TLLT;

class TInterAppPrefs {
public:
	// Makes and shows the common preference window in this program and
	// returns its port manager (owned by the window), or NULL when the
	// window could not be made.
	typedef std::function<TIAPPortManager*(BRect frame)> window_maker;
	// Ends the window that the maker made, with its port manager and port.
	typedef std::function<void()> window_quitter;

	TInterAppPrefs();
	~TInterAppPrefs();

	// Enters `item` under its name, with the store's signature and language
	// table. The store owns the item from then on, also when it refuses it:
	// a second item of a name already held is deleted (B_NAME_IN_USE).
	status_t AddItem(TIAPItem* item);

	// Keep the reference and hand it to every item already entered.
	status_t SetAppSignatureRef(const char* signature);
	status_t SetLLTRef(TLLT* table);
	const char* AppSignatureRef() const;
	TLLT* LLTRef() const;

	// The item's current value; -1 when the store holds no item `name`.
	status_t GetBool(const char* name, bool* value) const;
	status_t GetString(const char* name, std::string* value) const;
	status_t SetBool(const char* name, bool value);
	status_t SetString(const char* name, const std::string& value);
	// Applies a '_ipc' message to the item named in "IAP:SrcIAPItem"; -1
	// when the field is missing or names no item of the store.
	status_t SetValue(const BMessage& msg);

	// Installs what makes the common window in this program, and what ends
	// it again. Without a maker, this program cannot make the window and
	// can only use one that another program made.
	void SetWindowMaker(window_maker maker, window_quitter quitter = nullptr);

	// Shows the common window and hands it this program's items: when a
	// window exists (its port is found) it is asked to show itself,
	// otherwise it is made here. 0 once the items were sent; when no window
	// existed and none could be made here, or its port could not be made,
	// the result of CreateAndShowWindow.
	status_t ShowWindow(BRect frame);
	// Makes the window in this program and waits until its port manager
	// made the port. The port, or kIAPPortFailed; B_UNSUPPORTED without a
	// window maker.
	port_id CreateAndShowWindow(BRect frame);
	// Asks the window behind `port` to show itself or come to the front.
	status_t ActivateWindow(port_id port) const;
	// Asks the window to close (it hides and drops the changes not yet
	// confirmed). 0 when there is no window; -1, sending nothing, when
	// `force` is false and this program did not make the window.
	status_t CloseWindow(bool force) const;
	// Sends 'iacr' with every item's configuration views and values.
	status_t AddComponents(port_id port);
	// Writes `msg` flattened as one record to `port`, waiting while the
	// port is full; the write's result.
	status_t SendMessage(port_id port, BMessage* msg) const;

	// Ends the window this program made (with its port), so that it does
	// not outlive the code that runs it; the next program that asks makes
	// a new one. The store's destructor does the same. Nothing when this
	// program made no window.
	void QuitWindow();

	// True while this program owns the common window: from its making
	// until QuitWindow.
	bool IsWindowOwner() const { return fWindowOwner.load(); }

private:
	TInterAppPrefs(const TInterAppPrefs&) = delete;
	TInterAppPrefs& operator=(const TInterAppPrefs&) = delete;

	TIAPItem* FindItem(const char* name) const;

	std::atomic<bool> fWindowOwner;
	mutable std::mutex fLock;
	const char* fAppSignature;
	std::map<std::string, TIAPItem*> fItems;
	TLLT* fLLT;
	window_maker fWindowMaker;
	window_quitter fWindowQuitter;
	// Held while a window is made or ended, so that the two never overlap.
	std::mutex fWindowLock;
};

// The displayer's store, created by the plug-in object before its windows
// and deleted after them. Read by every window thread (the store locks).
extern TInterAppPrefs* gIAP;

#endif
