// Messaging speed: building and reading a message of a few fields (the
// player's information replies), posting to a looper and waiting for it to
// be handled, and a synchronous round trip to another looper's thread.
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include <benchmark/benchmark.h>

#include <atomic>

namespace {

class CountingLooper : public BLooper {
public:
	CountingLooper() : BLooper("bench looper") {}
	void MessageReceived(BMessage* message) override
	{
		if (message->IsSourceWaiting()) {
			BMessage reply(B_REPLY);
			message->SendReply(&reply);
		}
		handled.fetch_add(1, std::memory_order_release);
	}
	std::atomic<int64> handled{0};
};

void
AddAndFindFields(benchmark::State& state)
{
	for (auto _ : state) {
		BMessage message('MDAi');
		message.AddInt32("status", 2);
		message.AddInt64("position", 123456789);
		message.AddString("title", "The morning light is on the hill");
		message.AddString("path", "/home/user/Music/song.mp3");
		message.AddBool("playing", true);
		int32 status;
		int64 position;
		const char* title;
		message.FindInt32("status", &status);
		message.FindInt64("position", &position);
		message.FindString("title", &title);
		benchmark::DoNotOptimize(title);
	}
}
BENCHMARK(AddAndFindFields);

void
PostAndHandle(benchmark::State& state)
{
	auto* looper = new CountingLooper;
	looper->Run();
	int64 posted = 0;
	for (auto _ : state) {
		looper->PostMessage('tick');
		posted++;
	}
	while (looper->handled.load(std::memory_order_acquire) < posted)
		;
	if (looper->Lock())
		looper->Quit();
}
BENCHMARK(PostAndHandle);

void
SynchronousRoundTrip(benchmark::State& state)
{
	auto* looper = new CountingLooper;
	looper->Run();
	BMessenger messenger(looper);
	for (auto _ : state) {
		BMessage reply;
		messenger.SendMessage('ping', &reply);
	}
	if (looper->Lock())
		looper->Quit();
}
BENCHMARK(SynchronousRoundTrip);

}
