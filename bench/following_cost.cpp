// What following playback costs the whole player process, next to the
// floor of the design: a bare model of four threads (a timer thread and
// three threads that each wake the next, doing no work) at the same
// 25 ms period.
//
// Both run at the same time as child processes, so that both see the same
// load on the machine. Their threads are read from /proc every sample
// (run time from schedstat, voluntary context switches from status); each
// figure is the median over the samples.
//
//   player_cpu_%      the player with the plug-in, share of one core
//   player_ctx/poll   its voluntary context switches per 25 ms poll
//   bare_cpu_%, bare_ctx/poll   the same for the bare model
//   cpu_ratio         the player's CPU over the bare model's, per sample
//                     (both read over the same seconds, so that the load
//                     of the machine, which moves both by a third from
//                     minute to minute, cancels out); the median of each
//                     round of fresh processes, and the median of those
//   cpu_ratio_low, cpu_ratio_high   the lowest and highest round
//   floor_ratio       the player's CPU over that of the bare model's timer
//                     thread, first stage and last stage alone: the three
//                     wake-ups of the design's own exchange (the lyrics
//                     window at its deadline, the player answering, the
//                     front end's mailbox taking the answer) with no work;
//                     the median of the rounds as for cpu_ratio
//
// The player runs headless; when a display is there (scripts/with-xvfb),
// also with the SDL backend:
//   scripts/with-xvfb build/bin/bench_following_cost
// FOLLOWING_ROUNDS=R, FOLLOWING_SAMPLES=N and FOLLOWING_SAMPLE_SECONDS=S
// change the sampling (4 rounds of fresh processes, 3 samples of 5 s each
// by default); FOLLOWING_THREADS=1 prints each thread of both, over each
// round's samples.
//
// Measured on a shared 2-core VM (6 samples of 5 s, Xvfb), cpu % and
// switches per poll, player / bare model:
//   before the runners moved into the loopers' own waits:
//     headless 0.80 % / 7.6   SDL 0.91 % / 7.4    bare 0.26 % / 4.0
//   after:
//     headless 0.63 % / 3.19  SDL 0.66 % / 3.18   bare 0.28 % / 4.0
//   after the periodic work rode on the poll's wake-ups (runner leeway,
//   no wake for a runner's later time, headless presents, one window
//   refresh a second drawing only the time) and the port's reader slept
//   on a futex word (one system call less per wake-up):
//     two runs:  headless 0.49 % / 2.84  SDL 0.56 % / 3.01  bare 0.22 % / 3.9
//                headless 0.74 % / 3.02  SDL 0.65 % / 3.09  bare 0.29 % / 4.0
//   (the CPU shares move by a third from run to run with the machine's
//   load; the player stays at 2.1 to 2.6 times the bare model, as before)
//   after fewer token-space lookups per message, text layouts kept from
//   one draw to the next and semaphores looked at without a reference,
//   three runs each, alternating with the build before (another VM of the
//   same kind, where the bare model costs more):
//     before:    headless 0.64-0.75 %   SDL 0.72-0.76 %
//     after:     headless 0.61-0.70 %   SDL 0.63-0.67 %
//     bare model 0.35-0.48 %; cpu_ratio after 1.35-1.97; switches as above
//   after text went into its masks through pixman's fast path and fully
//   covered pixels skipped the blender (40 % fewer instructions for the
//   player window's redraws and the lyrics' line changes), three runs each,
//   alternating with the build before:
//     before:    headless 0.67-0.77 %   SDL 0.74-0.77 %   cpu_ratio 1.36-2.06
//     after:     headless 0.67-0.75 %   SDL 0.58-0.72 %   cpu_ratio 1.24-1.87
//     (median cpu_ratio 1.56 before, 1.37 after)
//   after the player window's time redraw covered only the time and the
//   position bar only the strip its knob crossed (this bench's 10-minute
//   song moves the bar once in 3.6 s, so its refreshes stay once a
//   second), per thread over 30 s, µs per poll, two runs, headless:
//     lyrics window 76-97 (bare timer 35-50), player main 46-47 (bare
//     stage 1 28-35), mailbox 20-29 (bare stage 2 28-32), player window 11
//     (bare stage 3 17-18); cpu_ratio 1.30-1.43 headless, 1.71 SDL.
//   Across the three message threads the cost follows the instructions
//   run after each 25 ms sleep, at about 10 µs plus 6 µs per thousand
//   (counted by callgrind on the demo playlist, per poll: mailbox 2,800,
//   main 6,200, lyrics window 9,800, of which some 4,600 are its line
//   changes' drawing spread over the polls); the lyrics window, woken by
//   its timer, pays some 15 µs more, as the bare timer does over a stage.
//   So the player comes down to the bare model's cost with about a third
//   fewer instructions per poll on those threads.
//   after messages kept their fields and delivery state inside themselves
//   (a field's items in one buffer), an uncontended semaphore became one
//   compare-and-swap, a lone message skipped the looper's queue and the
//   library's thread-local data was reached directly: instructions per
//   poll (callgrind, the demo playlist) main 6,400 -> 5,100, mailbox
//   2,800 -> 1,700, lyrics window without its drawing 5,400 -> 3,300;
//   three runs each, alternating with a build from before:
//     before:    cpu_ratio headless 1.12-1.59   SDL 1.01-1.73
//     after:     cpu_ratio headless 1.11-1.19   SDL 0.99-1.46
//     per thread after, µs per poll: lyrics window 75-97 (bare timer
//     48-66), player main 40-59 (bare stage 1 26-43), mailbox 19-34
//     (bare stages 2 and 3 16-45); switches as above.
//   after a free BLocker was taken with one compare-and-swap, loopers and
//   runners remembered which handler a token named, a reply stopped asking
//   whether its return address was valid before delivering, a reply to a
//   message of nothing but its code kept that code instead of a copy, and
//   the player's display measured its time once a second: instructions
//   per poll in the message path's loop, dispatch and handler (callgrind,
//   this bench's song) lyrics window 3,350 -> 3,020, player main 3,970 ->
//   3,500, mailbox 1,640 -> 1,360. Both builds' players run side by side
//   in the same seconds (bench/two_builds.py, 40 s, builds swapped in
//   turn; each costs more so, as they share the cores): 292 and 263 µs a
//   poll for the old, 284 and 276 for the new, no difference above the
//   noise. A message made 104 bytes larger to hold its first field, which
//   saved two allocations a poll, had cost the lyrics window some 10 µs a
//   poll in this bench, alternating builds: the time here follows the
//   memory a wake-up touches more than the instructions it runs.
//   Why, on this VM kind: after a 25 ms sleep the caches hold none of
//   what a wake-up touches. A hundred cache lines read then, each in a
//   page of its own, cost 6.8 µs (some 70 ns a line); the same hundred in
//   four pages 2.5 µs; in 2 MB pages 6.7 µs, so it is the memory and not
//   the page tables (the CPUs have no PCID and the kernel isolates its
//   page tables, so every system call drops the translations, but walking
//   them again is cheap). A system call costs 1 µs, waking a sleeping
//   thread 10 to 19 µs. A wake that crosses to the other, idle CPU costs
//   about twice one on the same CPU: the bare model pinned to one CPU
//   costs 83-86 µs a poll against 139-158 µs spread over both.
//   after the functions of the message path were marked [[gnu::hot]] and
//   so laid out side by side: pages of the platform library's code run on
//   every poll (callgrind, this bench's song) lyrics window 29 -> 13 (of
//   which the message path 6, the rest its line changes' drawing), player
//   main 23 -> 9, mailbox 14 -> 5; the player's own 5 -> 1. Six rounds of
//   bench/two_builds.py with three players at once (the build before,
//   this one without Get and _SendDueRunners marked, and the same code
//   ordered by the linker instead): mean 163.5 µs a poll before, 157.1
//   after, 158.3 linker-ordered; the rounds move between 139 and 184 with
//   the load.
//   after the SDL display thread pumped SDL's events once per wake instead
//   of three times (20 system calls a present -> 12), on a fresh VM of the
//   same kind: display thread on Xvfb 35 -> 5.5-16 µs a poll; player on
//   Xvfb 0.89-0.92 % -> 0.57-0.84 %; cpu_ratio over four runs headless
//   0.96-1.24 (median 1.03) and five on Xvfb 1.09-1.66 (median 1.20),
//   where the bare model itself moves between 0.45 and 0.75 % from run to
//   run.
//   after the player drew each new second into its window itself (its
//   thread is awake for the plug-in's request anyway) and what another
//   thread draws reached the screen at its unlock instead of through a
//   message to the window's thread: the player window's thread no longer
//   wakes while the entry plays (0.02 switches a poll -> 0); switches per
//   poll headless 3.02 -> 3.00, on Xvfb 3.09 -> 3.07. In rounds of fresh
//   processes (5 rounds of 3 samples of 5 s, both modes in one run, the
//   same machine): cpu_ratio headless 1.17 (rounds 1.00-1.39), on Xvfb
//   1.40 (1.19-1.93). The rounds read higher than the long single runs
//   above: their lyrics window cost 87-142 µs a poll in the 15 s after
//   start. Alone, one player's lyrics window wandered between 48 and 114
//   µs a poll from one 5 s stretch to the next over a minute, its main
//   thread with it (30-56), while callgrind counts as many instructions
//   early as later (some 510k a second over 8-20 s, 600k over 20-32 s):
//   the machine, not the player's work, moves it.
//   after the thread that draws sent its pixels to the X server itself,
//   over a connection of its own (before, a present woke the display
//   thread, and SDL's update of the window surface waited for the X
//   server), and a drawing damaged only the pixels it touched instead of
//   its whole view (the player's time once a second: 100 KB sent -> 6
//   KB, which no longer fills the socket and waits): switches per poll on
//   Xvfb 3.07 -> 3.00, the same build with VERSO_PRESENT=sdl 3.06;
//   headless 3.00 as before. cpu_ratio, 5 rounds each, one after the
//   other on the same machine: headless 1.21 (0.97-1.54), Xvfb 1.33
//   (1.04-1.86), Xvfb with VERSO_PRESENT=sdl 1.31 (0.99-1.41); an
//   earlier run of 4 rounds: headless 1.30 (1.15-1.41), Xvfb 1.20
//   (1.12-1.31). Per thread on Xvfb, µs a poll: player main 46-49 (bare
//   stage 1 22-26), lyrics window 66-78 (bare timer 41-55), mailbox
//   16-22 (bare stage 2 26-33; bare stage 3 14-18), display thread 0.
//   Of the player main thread's instructions per poll (callgrind over
//   10-30 s, this bench's song), most are the drawing of its window once
//   a second, not the message path (some 2,700): the time's text about
//   145k a second, and each move of the bar's knob 220k, two thirds of it
//   the knob's two ellipses. Drawing only the strip the knob crossed, with
//   plain rectangles away from the track's ends, took the thread from
//   13.4k to 10.9k instructions a poll. A run after it, 5 rounds:
//   cpu_ratio headless 1.38 (1.19-1.51), Xvfb 1.27 (0.82-1.66).
//   after the drawing that comes round again got cheaper (a glyph's mixed
//   colours from a table, empty coverage skipped eight pixels at a time,
//   the bar's knob copied from a bitmap made once, the player's time drawn
//   a character at a time from kept widths and layouts, and the glyphs'
//   coverage kept with each kept layout): instructions per poll
//   (callgrind, this bench's song, 10 against 30 s) player main 10.3k ->
//   5.9k, lyrics window 13.2k -> 9.7k; timed in place on the thread, the
//   player's time once a second 300-340 µs -> 60-80, a lyric line drawn
//   again 35-60 -> 8-27 (the line that enters still costs 350-500: laid
//   out and rasterised with Pango's code cold). Timed on each thread
//   between its waits (45 s): most of a wake-up's time is the futex wake
//   of the next thread, 21-28 µs on the main thread and 32-46 on the
//   lyrics window's (the bare model's posts: 31, 34-43 and 14 µs); the
//   rest of a typical wake-up is 10-14 µs. cpu_ratio before (4 rounds):
//   headless 1.00 (0.84-1.13), Xvfb 1.24 (1.16-1.66); after, three runs of
//   5 rounds: headless 1.28, 1.02 and 1.52, Xvfb 1.21, 1.21 and 1.09, then
//   8 rounds: headless 0.93 (0.77-1.35), Xvfb 1.11 (0.96-1.45). The player
//   stayed at 0.53-0.77 % while the bare model moved between 0.37 and
//   0.69 % from run to run.
//   Those wake times were wall time. In every round the scheduler keeps
//   the lyrics window's thread and the player's main thread on one CPU,
//   as it keeps the bare model's timer thread and first stage: every
//   other poll or so the thread woken runs at once and the waker waits
//   (0.5 involuntary switches a poll on both threads, in both models), so
//   the wall time of a wake includes the run of the thread woken. The
//   mailbox, like the bare model's second stage, changes CPU 0.4-0.8
//   times a poll. Timed in place on the main thread (its CPU clock), the
//   state it draws into the player's window once a second costs 190-330
//   µs, the display's part 120-170 of it. Two runs of 8 rounds on the
//   same build, one after the other: cpu_ratio headless 1.16 (0.76-1.35)
//   and 0.99 (0.93-1.50), on Xvfb 1.12 (1.07-1.61) and 1.00 (0.58-1.17);
//   floor_ratio 1.37 and 1.38 in the second. Per round the lyrics
//   window's thread cost 63-123 µs a poll and the bare model's timer
//   thread 38-79.
// Three wake-ups per poll are the message exchange itself (the lyrics
// window at its deadline, the player answering, the front end's mailbox
// taking the answer). What is left on top is the display's: with SDL the
// display thread presenting the player's time once a second and the
// lyrics' line changes, twice per present since SDL waits for the X
// server's answer (0.07 per poll). The gap in CPU
// against the bare model is mostly the lyrics window's thread: 57 to 90 µs
// a poll against some 35 µs for the bare model's timer thread, which also
// wakes by a timer and wakes one other thread. The difference is the work
// of the message path (some 6000 instructions a poll: the runner's message
// made and dispatched, the request built, copied and delivered, a dozen
// lock and unlock pairs, the mailbox's semaphore), run with cold caches
// after every 25 ms sleep; the bare model runs almost none.
#include <benchmark/benchmark.h>

#include <OS.h>

#include <dirent.h>
#include <pthread.h>
#include <semaphore.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const bigtime_t kPollInterval = 25000;
const char* const kBareModelArg = "--bare-model";

std::string program_folder()
{
	char path[4096];
	const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length <= 0)
		return ".";
	path[length] = '\0';
	return std::filesystem::path(path).parent_path().string();
}

int env_int(const char* name, int fallback)
{
	const char* value = getenv(name);
	const int number = value != nullptr ? atoi(value) : 0;
	return number > 0 ? number : fallback;
}

// ---- The bare model

// Plain futex semaphores, so that the model costs what the operating
// system asks for four wake-ups and nothing more.
struct BareStage {
	sem_t wake;
	sem_t* next = nullptr;
};

[[noreturn]] void run_bare_model()
{
	static BareStage stages[3];
	for (BareStage& stage : stages)
		sem_init(&stage.wake, 0, 0);
	stages[0].next = &stages[1].wake;
	stages[1].next = &stages[2].wake;
	pthread_setname_np(pthread_self(), "bare timer");
	for (BareStage& stage : stages) {
		std::thread([&stage] {
			const std::string name = "bare stage " + std::to_string(&stage - stages + 1);
			pthread_setname_np(pthread_self(), name.c_str());
			for (;;) {
				while (sem_wait(&stage.wake) != 0) {
				}
				if (stage.next != nullptr)
					sem_post(stage.next);
			}
		}).detach();
	}
	// the timer: the main thread sleeps to each deadline and wakes the first
	timespec next;
	clock_gettime(CLOCK_MONOTONIC, &next);
	for (;;) {
		next.tv_nsec += kPollInterval * 1000;
		if (next.tv_nsec >= 1000000000) {
			next.tv_nsec -= 1000000000;
			next.tv_sec++;
		}
		clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
		sem_post(&stages[0].wake);
	}
}

// ---- Reading a process from /proc

struct ThreadFigures {
	std::string name;
	uint64_t runNs = 0;
	uint64_t voluntary = 0;
};

// Every thread of `pid` by its id; empty when the process is gone.
std::map<int, ThreadFigures> read_threads(pid_t pid)
{
	std::map<int, ThreadFigures> result;
	const std::string folder = "/proc/" + std::to_string(pid) + "/task";
	DIR* dir = opendir(folder.c_str());
	if (dir == nullptr)
		return result;
	while (dirent* entry = readdir(dir)) {
		if (entry->d_name[0] == '.')
			continue;
		const std::string task = folder + "/" + entry->d_name;
		ThreadFigures figures;
		std::ifstream schedstat(task + "/schedstat");
		if (!(schedstat >> figures.runNs))
			continue;
		std::ifstream status(task + "/status");
		std::string line;
		while (std::getline(status, line)) {
			if (line.rfind("Name:", 0) == 0)
				figures.name = line.substr(line.find_first_not_of(" \t", 5));
			else if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
				figures.voluntary = strtoull(line.c_str() + 24, nullptr, 10);
		}
		result[atoi(entry->d_name)] = figures;
	}
	closedir(dir);
	return result;
}

struct Sample {
	double cpuPercent = 0;
	double switchesPerPoll = 0;
};

// The figures of one process between two readings `wall` µs apart;
// threads that came or went in between count with what was seen of them.
// With `only`, just the threads of those names count.
Sample difference(const std::map<int, ThreadFigures>& before,
	const std::map<int, ThreadFigures>& after, bigtime_t wall,
	const std::vector<std::string>* only = nullptr)
{
	uint64_t runNs = 0;
	uint64_t voluntary = 0;
	for (const auto& [tid, figures] : after) {
		if (only != nullptr && std::find(only->begin(), only->end(), figures.name) == only->end())
			continue;
		auto it = before.find(tid);
		runNs += figures.runNs - (it != before.end() ? it->second.runNs : 0);
		voluntary += figures.voluntary - (it != before.end() ? it->second.voluntary : 0);
	}
	Sample sample;
	sample.cpuPercent = 100.0 * (double)runNs / 1000.0 / (double)wall;
	sample.switchesPerPoll = (double)voluntary / ((double)wall / kPollInterval);
	return sample;
}

double median(std::vector<double> values)
{
	if (values.empty())
		return 0;
	std::sort(values.begin(), values.end());
	const size_t middle = values.size() / 2;
	return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// ---- Child processes

pid_t start(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
	const pid_t pid = fork();
	if (pid != 0)
		return pid;
	for (const std::string& setting : env)
		putenv(strdup(setting.c_str()));
	const int null = open("/dev/null", O_WRONLY);
	dup2(null, STDOUT_FILENO);
	std::vector<char*> argv;
	for (const std::string& arg : args)
		argv.push_back(const_cast<char*>(arg.c_str()));
	argv.push_back(nullptr);
	execv(argv[0], argv.data());
	_exit(127);
}

void stop(pid_t pid)
{
	kill(pid, SIGTERM);
	int status;
	const bigtime_t end = system_time() + 5000000;
	while (waitpid(pid, &status, WNOHANG) == 0) {
		if (system_time() > end) {
			kill(pid, SIGKILL);
			waitpid(pid, &status, 0);
			return;
		}
		snooze(20000);
	}
}

// A folder with one song of 10 minutes whose lyrics change line every
// 3 seconds, and the player's settings.
std::string make_folder()
{
	std::string folder
		= (std::filesystem::temp_directory_path() / "following-cost-XXXXXX").string();
	if (mkdtemp(folder.data()) == nullptr)
		abort();
	// in a folder of its own, which the plug-in watches with its parent
	std::filesystem::create_directory(folder + "/music");
	std::ofstream lyrics(folder + "/music/song.lrc");
	for (int i = 0; i < 200; i++) {
		char tag[32];
		snprintf(tag, sizeof(tag), "[%02d:%02d.00]", i * 3 / 60, i * 3 % 60);
		lyrics << tag << "line number " << i << " of the benchmark song\n";
	}
	std::ofstream playlist(folder + "/music/list.m3u8");
	playlist << "#EXTM3U\n#EXTINF:600,Bench Song\nsong.mp3\n";
	return folder;
}

void print_threads(const char* what, const std::map<int, ThreadFigures>& before,
	const std::map<int, ThreadFigures>& after, bigtime_t wall)
{
	fprintf(stderr, "%s, per thread:\n", what);
	for (const auto& [tid, figures] : after) {
		auto it = before.find(tid);
		std::map<int, ThreadFigures> one{{tid, figures}};
		std::map<int, ThreadFigures> was;
		if (it != before.end())
			was[tid] = it->second;
		const Sample sample = difference(was, one, wall);
		fprintf(stderr, "  %-16s %6.3f %% (%5.1f µs/poll)  %6.2f switches/poll\n",
			figures.name.c_str(), sample.cpuPercent,
			sample.cpuPercent / 100.0 * (double)kPollInterval, sample.switchesPerPoll);
	}
}

// One round: a fresh player and a fresh bare model side by side, read
// `samples` times; the figures of every sample go into `figures`.
struct Figures {
	std::vector<double> playerCpu, playerSwitches, bareCpu, bareSwitches, ratios, floorRatios;
};

// The three wake-ups that the design's exchange needs, as the bare model
// makes them: a thread woken by its timer that wakes a second, which
// wakes a third that wakes nobody.
const std::vector<std::string> kDesignFloor = {"bare timer", "bare stage 1", "bare stage 3"};

bool run_round(const std::vector<std::string>& args, const std::vector<std::string>& env,
	const std::string& bin, int samples, int sampleSeconds, const char* label,
	Figures& figures)
{
	const int warmUpSeconds = 3;
	const pid_t player = start(args, env);
	const pid_t bare = start({bin + "/bench_following_cost", kBareModelArg}, {});
	snooze(warmUpSeconds * 1000000LL);
	auto playerBefore = read_threads(player);
	auto bareBefore = read_threads(bare);
	bigtime_t when = system_time();
	const auto playerFirst = playerBefore;
	const auto bareFirst = bareBefore;
	const bigtime_t first = when;
	int taken = 0;
	for (; taken < samples; taken++) {
		snooze(sampleSeconds * 1000000LL);
		const auto playerNow = read_threads(player);
		const auto bareNow = read_threads(bare);
		const bigtime_t now = system_time();
		if (playerNow.empty() || bareNow.empty())
			break;
		const Sample p = difference(playerBefore, playerNow, now - when);
		const Sample b = difference(bareBefore, bareNow, now - when);
		figures.playerCpu.push_back(p.cpuPercent);
		figures.playerSwitches.push_back(p.switchesPerPoll);
		figures.bareCpu.push_back(b.cpuPercent);
		figures.bareSwitches.push_back(b.switchesPerPoll);
		if (b.cpuPercent > 0)
			figures.ratios.push_back(p.cpuPercent / b.cpuPercent);
		const Sample floor = difference(bareBefore, bareNow, now - when, &kDesignFloor);
		if (floor.cpuPercent > 0)
			figures.floorRatios.push_back(p.cpuPercent / floor.cpuPercent);
		if (getenv("FOLLOWING_THREADS") != nullptr && taken == samples - 1) {
			print_threads(label, playerFirst, playerNow, now - first);
			print_threads("bare model", bareFirst, bareNow, now - first);
		}
		playerBefore = playerNow;
		bareBefore = bareNow;
		when = now;
	}
	stop(bare);
	stop(player);
	return taken == samples;
}

}

// The player with the plug-in and the bare model side by side, in rounds
// of fresh processes: where the scheduler first puts the threads mostly
// stays for the run, and moves what a wake-up costs by up to two times (a
// wake that crosses to the other CPU costs twice one on the same CPU), so
// one pair of processes draws one lot. cpu_ratio is the median of the
// rounds' ratios, cpu_ratio_low and cpu_ratio_high the lowest and highest;
// the other figures are medians over every sample of every round.
static void BM_FollowingCost(benchmark::State& state)
{
	const bool sdl = state.range(0) != 0;
	if (sdl && (getenv("DISPLAY") == nullptr || getenv("DISPLAY")[0] == '\0')) {
		state.SkipWithError("no display (run through scripts/with-xvfb)");
		return;
	}
	const int rounds = env_int("FOLLOWING_ROUNDS", 4);
	const int samples = env_int("FOLLOWING_SAMPLES", 3);
	const int sampleSeconds = env_int("FOLLOWING_SAMPLE_SECONDS", 5);
	const std::string bin = program_folder();
	const std::string folder = make_folder();

	std::vector<std::string> env = {"XDG_CONFIG_HOME=" + folder, "XDG_RUNTIME_DIR=" + folder};
	env.push_back(sdl ? "VERSO_DISPLAY=sdl" : "VERSO_DISPLAY=headless");
	env.push_back(sdl ? "VERSO_HEADLESS=0" : "VERSO_HEADLESS=1");
	std::vector<std::string> args = {bin + "/melodeck", "--plugins", bin + "/plugins",
		"--no-repeat", "--seconds", std::to_string(samples * sampleSeconds + 30)};
	if (!sdl)
		args.push_back("--headless");
	args.push_back(folder + "/music/list.m3u8");

	Figures all;
	std::vector<double> roundRatios, roundFloorRatios;
	bool complete = true;
	for (auto _ : state) {
		for (int round = 0; round < rounds && complete; round++) {
			Figures figures;
			const std::string label = std::string(sdl ? "player (SDL)" : "player (headless)")
				+ ", round " + std::to_string(round + 1);
			complete = run_round(args, env, bin, samples, sampleSeconds, label.c_str(),
				figures);
			roundRatios.push_back(median(figures.ratios));
			roundFloorRatios.push_back(median(figures.floorRatios));
			for (auto [to, from] : {std::pair{&all.playerCpu, &figures.playerCpu},
					 {&all.playerSwitches, &figures.playerSwitches},
					 {&all.bareCpu, &figures.bareCpu}, {&all.bareSwitches, &figures.bareSwitches}})
				to->insert(to->end(), from->begin(), from->end());
		}
	}
	std::filesystem::remove_all(folder);
	if (!complete) {
		state.SkipWithError("the player or the bare model ended early");
		return;
	}
	state.counters["player_cpu_%"] = median(all.playerCpu);
	state.counters["player_ctx/poll"] = median(all.playerSwitches);
	state.counters["bare_cpu_%"] = median(all.bareCpu);
	state.counters["bare_ctx/poll"] = median(all.bareSwitches);
	state.counters["cpu_ratio"] = median(roundRatios);
	state.counters["cpu_ratio_low"] = *std::min_element(roundRatios.begin(), roundRatios.end());
	state.counters["cpu_ratio_high"] = *std::max_element(roundRatios.begin(), roundRatios.end());
	state.counters["floor_ratio"] = median(roundFloorRatios);
}
BENCHMARK(BM_FollowingCost)->ArgName("sdl")->Arg(0)->Arg(1)->Iterations(1)
	->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
	if (argc == 2 && strcmp(argv[1], kBareModelArg) == 0)
		run_bare_model();
	benchmark::Initialize(&argc, argv);
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
