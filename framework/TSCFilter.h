// TSCFilter: sends the shortcut keys of a dialog to one handler.
//
// A B_KEY_DOWN with the Control key held, or of Escape, Enter or a function
// key, goes to the filter's target, or to the looper the filter is attached
// to when the target is NULL; every other message passes untouched. The
// target is not owned.
#ifndef FRAMEWORK_TSC_FILTER_H
#define FRAMEWORK_TSC_FILTER_H

#include <MessageFilter.h>

class BHandler;

class TSCFilter : public BMessageFilter {
public:
	TSCFilter(BHandler* target);
	virtual ~TSCFilter();

	virtual filter_result Filter(BMessage* message, BHandler** target);

	// NULL: the looper the filter is attached to.
	BHandler* Target() const { return fTarget; }
	// Whether this filter sends `message` on to its target: a key press
	// with Control held, or of Escape, Enter or a function key.
	static bool IsShortcutKey(const BMessage* message);

private:
	BHandler* fTarget;  // NULL: the looper
};

#endif
