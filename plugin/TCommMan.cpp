#include "plugin/TCommMan.h"

#include "plugin/CommManMessages.h"

#include <Application.h>
#include <OS.h>
#include <Window.h>

namespace {

// The looper of this application whose thread is `thread`, or NULL.
BLooper* looper_of_thread(thread_id thread)
{
	if (be_app == NULL)
		return NULL;
	for (int32 i = 0;; i++) {
		BLooper* looper = be_app->LooperAt(i);
		if (looper == NULL)
			return NULL;
		if (looper->Thread() == thread)
			return looper;
	}
}

// Whether `candidate` is a looper of this application, found by address
// only: a greeting's pointer is not followed before it is known to live.
bool is_local_looper(const void* candidate)
{
	if (be_app == NULL || candidate == NULL)
		return false;
	for (int32 i = 0;; i++) {
		BLooper* looper = be_app->LooperAt(i);
		if (looper == NULL)
			return false;
		if (looper == candidate)
			return true;
	}
}

}

TCommMan::TCommMan(const char* name, const char* peerName)
	: BLooper(name, B_NORMAL_PRIORITY, 100),
	  fPeerName(peerName != NULL ? peerName : "")
{
}

TCommMan::~TCommMan()
{
}

thread_id TCommMan::Run()
{
	thread_id thread = BLooper::Run();
	if (thread >= 0)
		Connect();
	return thread;
}

status_t TCommMan::Connect()
{
	if (fPeerName.empty())
		return B_ERROR;
	thread_id thread = find_thread(fPeerName.c_str());
	if (thread < 0)
		return B_ERROR;
	// Only a looper of this application will do: the greeting carries a
	// pointer, which means nothing in another address space.
	BLooper* peer = looper_of_thread(thread);
	if (peer == NULL || peer == this)
		return B_ERROR;

	status_t result;
	BMessenger messenger(NULL, peer, &result);
	if (result != B_OK)
		return B_ERROR;
	// When the peer greeted first, its messenger stays; it still gets our
	// greeting, which it ignores as it is connected already.
	SetPeer(messenger);

	BMessage greeting(kMsgCommManGreeting);
	greeting.AddPointer(kFieldCommMan, this);
	messenger.SendMessage(&greeting, (BHandler*)NULL, B_INFINITE_TIMEOUT);
	return B_OK;
}

status_t TCommMan::SendMessage(BMessage* msg)
{
	if (msg == NULL)
		return B_BAD_VALUE;
	BMessenger peer;
	if (!GetPeer(&peer))
		return B_ERROR;
	return peer.SendMessage(msg, (BHandler*)NULL, B_INFINITE_TIMEOUT);
}

status_t TCommMan::SendMessage(BMessage* msg, BMessage* reply)
{
	if (msg == NULL || reply == NULL)
		return B_BAD_VALUE;
	BMessenger peer;
	if (!GetPeer(&peer))
		return B_ERROR;
	return peer.SendMessage(msg, reply, B_INFINITE_TIMEOUT, B_INFINITE_TIMEOUT);
}

void TCommMan::CommManConnected(BMessage* greeting)
{
	if (greeting == NULL || IsConnected())
		return;
	void* sender = NULL;
	if (greeting->FindPointer(kFieldCommMan, &sender) != B_OK || sender == this
		|| !is_local_looper(sender))
		return;
	status_t result;
	BMessenger messenger(NULL, static_cast<BLooper*>(sender), &result);
	if (result == B_OK)
		SetPeer(messenger);
}

bool TCommMan::IsConnected() const
{
	std::lock_guard<std::mutex> lock(fPeerLock);
	return fPeer != nullptr;
}

BMessenger TCommMan::PeerMessenger() const
{
	BMessenger peer;
	GetPeer(&peer);
	return peer;
}

void TCommMan::CloseWindow(BWindow** window)
{
	if (window == NULL || *window == NULL)
		return;
	if (!(*window)->Lock())
		return;
	(*window)->Quit();
	*window = NULL;
}

void TCommMan::MessageReceived(BMessage* message)
{
	if (message->what == kMsgCommManGreeting) {
		CommManConnected(message);
		return;
	}
	BLooper::MessageReceived(message);
}

bool TCommMan::SetPeer(const BMessenger& target)
{
	std::lock_guard<std::mutex> lock(fPeerLock);
	if (fPeer != nullptr)
		return false;
	fPeer = std::make_unique<BMessenger>(target);
	return true;
}

bool TCommMan::GetPeer(BMessenger* peer) const
{
	std::lock_guard<std::mutex> lock(fPeerLock);
	if (fPeer == nullptr)
		return false;
	*peer = *fPeer;
	return true;
}
