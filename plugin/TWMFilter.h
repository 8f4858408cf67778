// TWMFilter: put on the player's window, it tells the lyrics window every
// time the player's window has moved ('Scwm', no fields), so that the lyrics
// window can follow. The move itself is dispatched as usual.
//
// Ownership: the filter belongs to the window it is attached to. The lyrics
// window that attached it removes and deletes it when it quits.
//
// Threads: Filter() runs in the player window's thread and only posts.
#ifndef PLUGIN_T_WM_FILTER_H
#define PLUGIN_T_WM_FILTER_H

#include <MessageFilter.h>
#include <Messenger.h>

class TWMFilter : public BMessageFilter {
public:
	// Reports to `target` (the lyrics window).
	explicit TWMFilter(const BMessenger& target);

	virtual filter_result Filter(BMessage* message, BHandler** target) override;

private:
	BMessenger fTarget;
};

#endif
