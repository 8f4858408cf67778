#include <gtest/gtest.h>

#include "TestUtil.h"
#include "Playlist.h"

#include <stdint.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

void put32(std::string* out, uint32_t value)
{
	for (int i = 0; i < 4; i++)
		out->push_back((char)(value >> (8 * i)));
}

void put16(std::string* out, uint16_t value)
{
	out->push_back((char)value);
	out->push_back((char)(value >> 8));
}

// A mono 8-bit PCM WAV file of `ms` milliseconds at 8 kHz, with an INFO
// title when `title` is given.
std::string make_wav(int ms, const std::string& title = std::string())
{
	const uint32_t rate = 8000;
	const uint32_t samples = rate * ms / 1000;
	std::string info;
	if (!title.empty()) {
		std::string name = title + '\0';
		if (name.size() % 2 != 0)
			name.push_back('\0');
		info = "LIST";
		put32(&info, 4 + 8 + name.size());
		info += "INFO";
		info += "INAM";
		put32(&info, title.size() + 1);
		info += name;
	}
	std::string wav = "RIFF";
	put32(&wav, 4 + (8 + 16) + info.size() + (8 + samples));
	wav += "WAVE";
	wav += "fmt ";
	put32(&wav, 16);
	put16(&wav, 1);        // PCM
	put16(&wav, 1);        // mono
	put32(&wav, rate);
	put32(&wav, rate);     // bytes per second
	put16(&wav, 1);        // block align
	put16(&wav, 8);        // bits per sample
	wav += info;
	wav += "data";
	put32(&wav, samples);
	wav.append(samples, (char)0x80);
	return wav;
}

}

TEST(Playlist, M3uGivesTitlesLengthsAndPathsRelativeToItsFolder)
{
	testutil::TempDir dir;
	mkdir(dir.File("lists").c_str(), 0755);
	mkdir(dir.File("songs").c_str(), 0755);
	const std::string existing = dir.Write("songs/real.wav", make_wav(2500));
	// byte-order mark, CR LF line ends, comments, blank lines; files that
	// do not exist are entries all the same
	const std::string list = dir.Write("lists/mix.m3u8",
		"\xef\xbb\xbf#EXTM3U\r\n"
		"#EXTINF:42,Paper Lanterns\r\n"
		"../songs/lanterns.mp3\r\n"
		"\r\n"
		"# a remark\r\n"
		"#EXTINF:61.5,  夜の港  \r\n"
		"/elsewhere/yoru.flac\r\n"
		"#EXTINF:-1,Unknown length\r\n"
		"sub/./x/../unknown.ogg\r\n"
		"../songs/real.wav\r\n"
		"file:///music/With%20Space.mp3\r\n");

	Playlist playlist;
	Playlist::Notes notes;
	ASSERT_EQ(playlist.AddPath(list, &notes), B_OK);
	ASSERT_EQ(playlist.CountEntries(), 5);

	const PlaylistEntry* first = playlist.EntryAt(0);
	EXPECT_EQ(first->filename, dir.File("songs/lanterns.mp3"));
	EXPECT_EQ(first->title, "Paper Lanterns");
	EXPECT_EQ(first->length, 42000);
	EXPECT_TRUE(first->lengthKnown);
	EXPECT_EQ(first->number, 1);
	EXPECT_FALSE(first->played);

	EXPECT_EQ(playlist.EntryAt(1)->filename, "/elsewhere/yoru.flac");
	EXPECT_EQ(playlist.EntryAt(1)->title, "夜の港");
	EXPECT_EQ(playlist.EntryAt(1)->length, 61500);

	// no length: the default, and the user is told
	const PlaylistEntry* unknown = playlist.EntryAt(2);
	EXPECT_EQ(unknown->filename, dir.File("lists/sub/unknown.ogg"));
	EXPECT_EQ(unknown->title, "Unknown length");
	EXPECT_EQ(unknown->length, kDefaultEntryLength);
	EXPECT_FALSE(unknown->lengthKnown);
	bool told = false;
	for (const std::string& note : notes)
		told = told || note.find("unknown.ogg: length unknown") != std::string::npos;
	EXPECT_TRUE(told);

	// without #EXTINF an existing file speaks for itself
	EXPECT_EQ(playlist.EntryAt(3)->filename, existing);
	EXPECT_EQ(playlist.EntryAt(3)->title, "real");
	EXPECT_NEAR(playlist.EntryAt(3)->length, 2500, 5);

	EXPECT_EQ(playlist.EntryAt(4)->filename, "/music/With Space.mp3");
	EXPECT_EQ(playlist.EntryAt(4)->title, "With Space");
	EXPECT_EQ(playlist.EntryAt(4)->number, 5);
}

TEST(Playlist, OddPlaylistsDoNotHangOrGarbleTitles)
{
	testutil::TempDir dir;
	// a Latin-1 title in an old .m3u is shown as UTF-8
	const std::string old = dir.Write("old.m3u", "#EXTINF:10,Caf\xe9\nsong.mp3\n");
	// a playlist that names itself ends, with a note
	const std::string loop = dir.Write("loop.m3u", "a.mp3\nloop.m3u\nb.mp3\n");

	Playlist playlist;
	Playlist::Notes notes;
	ASSERT_EQ(playlist.AddPath(old, &notes), B_OK);
	EXPECT_EQ(playlist.EntryAt(0)->title, "Caf\xc3\xa9");

	notes.clear();
	playlist.AddPath(loop, &notes);
	EXPECT_GE(playlist.CountEntries(), 3);
	EXPECT_LT(playlist.CountEntries(), 40);
	EXPECT_FALSE(notes.empty());

	// a missing playlist is an error, not an empty success
	notes.clear();
	EXPECT_NE(playlist.AddPath(dir.File("missing.m3u"), &notes), B_OK);
	EXPECT_EQ(notes.size(), 1u);
}

TEST(Playlist, PlaylistsNamingThemselvesManyTimesExpandOnce)
{
	testutil::TempDir dir;
	// Ten times itself: each mention is skipped, the songs come once.
	std::string self = "a.mp3\n";
	for (int i = 0; i < 10; i++)
		self += "self.m3u\n";
	const std::string selfPath = dir.Write("self.m3u", self);
	Playlist playlist;
	Playlist::Notes notes;
	ASSERT_EQ(playlist.AddPath(selfPath, &notes), B_OK);
	EXPECT_EQ(playlist.CountEntries(), 1);
	EXPECT_EQ(notes.size(), 10u + 1u) << "ten skipped mentions and the unknown length";

	// Two playlists naming each other, one by a link and "..".
	dir.Write("sub/one.m3u", "one.mp3\n../two.m3u\n../two.m3u\n");
	const std::string two = dir.Write("two.m3u", "two.mp3\nlink/one.m3u\n");
	ASSERT_EQ(symlink(dir.File("sub").c_str(), dir.File("link").c_str()), 0);
	Playlist pair;
	notes.clear();
	ASSERT_EQ(pair.AddPath(two, &notes), B_OK);
	EXPECT_EQ(pair.CountEntries(), 2);

	// No cycle but wide: eight levels of ten mentions each would be 10^8
	// loads; the expansion stops at its bound, with one note saying so.
	for (int level = 0; level < 8; level++) {
		std::string text = "song" + std::to_string(level) + ".mp3\n";
		for (int i = 0; i < 10; i++)
			text += "l" + std::to_string(level + 1) + ".m3u\n";
		dir.Write("l" + std::to_string(level) + ".m3u", text);
	}
	dir.Write("l8.m3u", "last.mp3\n");
	Playlist wide;
	notes.clear();
	ASSERT_EQ(wide.AddPath(dir.File("l0.m3u"), &notes), B_OK);
	EXPECT_LE(wide.CountEntries(), 1000);
	int stopped = 0;
	for (const std::string& note : notes)
		stopped += note.find("the rest are skipped") != std::string::npos;
	EXPECT_EQ(stopped, 1);

	// One big playlist named many times: the text read in one expansion is
	// bounded (64 MB), so only the first six of ten are taken.
	dir.Write("big.m3u", "#" + std::string(10 * 1024 * 1024, 'x') + "\nbig.mp3\n");
	std::string tenTimes;
	for (int i = 0; i < 10; i++)
		tenTimes += "big.m3u\n";
	Playlist big;
	notes.clear();
	ASSERT_EQ(big.AddPath(dir.Write("ten.m3u", tenTimes), &notes), B_OK);
	EXPECT_EQ(big.CountEntries(), 6);
	stopped = 0;
	for (const std::string& note : notes)
		stopped += note.find("the rest are skipped") != std::string::npos;
	EXPECT_EQ(stopped, 1);

	// Text handed over directly reads like the file it names.
	Playlist text;
	notes.clear();
	ASSERT_EQ(text.AddPlaylistText("#EXTINF:5,One\nx.mp3\nself.m3u\n", selfPath, &notes),
		B_OK);
	ASSERT_EQ(text.CountEntries(), 1);
	EXPECT_EQ(text.EntryAt(0)->title, "One");
}

TEST(Playlist, FolderGivesItsAudioFilesInNameOrder)
{
	testutil::TempDir dir;
	dir.Write("b.wav", make_wav(1000));
	dir.Write("a.wav", make_wav(1500));
	dir.Write("c.WAV", make_wav(500));
	dir.Write("notes.txt", "not music");
	dir.Write("._a.wav", "resource fork");
	mkdir(dir.File("sub.wav").c_str(), 0755);

	Playlist playlist;
	Playlist::Notes notes;
	ASSERT_EQ(playlist.AddPath(dir.Path() + "/", &notes), B_OK);
	ASSERT_EQ(playlist.CountEntries(), 3);
	EXPECT_EQ(playlist.EntryAt(0)->filename, dir.File("a.wav"));
	EXPECT_EQ(playlist.EntryAt(1)->filename, dir.File("b.wav"));
	EXPECT_EQ(playlist.EntryAt(2)->filename, dir.File("c.WAV"));
	EXPECT_NEAR(playlist.EntryAt(0)->length, 1500, 5);
	EXPECT_EQ(playlist.EntryAt(2)->title, "c");
	EXPECT_TRUE(notes.empty());

	// a folder without audio is reported
	testutil::TempDir empty;
	notes.clear();
	EXPECT_NE(playlist.AddPath(empty.Path(), &notes), B_OK);
	EXPECT_EQ(notes.size(), 1u);
}

TEST(Playlist, AudioFileTakesTheTitleFromItsTags)
{
	testutil::TempDir dir;
	const std::string tagged = dir.Write("track01.wav", make_wav(3000, "Morning Tide"));
	const std::string broken = dir.Write("broken.mp3", "this is no MPEG stream");
	const std::string text = dir.Write("readme.txt", "words");

	Playlist playlist;
	Playlist::Notes notes;
	ASSERT_EQ(playlist.AddPath(tagged, &notes), B_OK);
	EXPECT_EQ(playlist.EntryAt(0)->title, "Morning Tide");
	EXPECT_NEAR(playlist.EntryAt(0)->length, 3000, 5);

	// named as audio but unreadable: kept, at the default length, with a note
	notes.clear();
	ASSERT_EQ(playlist.AddPath(broken, &notes), B_OK);
	EXPECT_EQ(playlist.EntryAt(1)->title, "broken");
	EXPECT_EQ(playlist.EntryAt(1)->length, kDefaultEntryLength);
	EXPECT_FALSE(notes.empty());

	// neither audio nor playlist, or missing: refused with the reason
	notes.clear();
	EXPECT_EQ(playlist.AddPath(text, &notes), B_BAD_VALUE);
	EXPECT_EQ(playlist.AddPath(dir.File("gone.mp3"), &notes), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(notes.size(), 2u);
	EXPECT_EQ(playlist.CountEntries(), 2);
}

// The bundled demo: four entries whose lyrics lie beside them, timed within
// each entry's length.
TEST(Playlist, DemoPlaylistHasLyricsForEveryEntry)
{
	Playlist playlist;
	Playlist::Notes notes;
	ASSERT_EQ(playlist.AddPath(HOST_DEMO_PLAYLIST, &notes), B_OK);
	ASSERT_EQ(playlist.CountEntries(), 4);
	EXPECT_TRUE(notes.empty());
	int32 crlfFiles = 0;
	for (int32 i = 0; i < playlist.CountEntries(); i++) {
		const PlaylistEntry* entry = playlist.EntryAt(i);
		EXPECT_GE(entry->length, 30000);
		EXPECT_LE(entry->length, 60000);
		const std::string lyricsPath
			= entry->filename.substr(0, entry->filename.rfind('.')) + ".lrc";
		const std::string lyrics = testutil::read_file(lyricsPath);
		ASSERT_FALSE(lyrics.empty()) << lyricsPath;
		if (lyrics.find("\r\n") != std::string::npos)
			crlfFiles++;
		// the last tag comes before the entry ends
		const size_t last = lyrics.rfind("\n[", lyrics.size() - 2);
		ASSERT_NE(last, std::string::npos);
		const int32 minutes = std::stoi(lyrics.substr(last + 2, 2));
		const int32 seconds = std::stoi(lyrics.substr(last + 5, 2));
		EXPECT_LT((minutes * 60 + seconds) * 1000, entry->length) << lyricsPath;
	}
	EXPECT_EQ(crlfFiles, 2);
}
