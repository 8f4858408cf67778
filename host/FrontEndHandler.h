// The player's front end: answers 'MDAi' with the current-song information
// block (InfoBlock.h) in the field "Info". The application's reply to the
// hello 'MDAm' hands out a messenger to this handler.
#ifndef HOST_FRONT_END_HANDLER_H
#define HOST_FRONT_END_HANDLER_H

#include <Handler.h>

class Playback;

// The front-end protocol's codes.
enum {
	kMelodeckHello = 'MDAm',
	kMelodeckInfo = 'MDAi'
};

class FrontEndHandler : public BHandler {
public:
	explicit FrontEndHandler(Playback* playback);

	virtual void MessageReceived(BMessage* message) override;

	// Answers an information request: the reply carries the block.
	void ReplyInfo(BMessage* request);

private:
	Playback* fPlayback;
};

#endif
