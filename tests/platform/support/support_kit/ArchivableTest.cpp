// BArchivable: the "class" names that Archive writes, and instantiate_object
// through the class registry.
#include <Archivable.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

// Test classes live in the global namespace, as the platform's own classes
// do, so that their archived names are plain.
class Lyric : public BArchivable {
public:
	explicit Lyric(int32 line) : fLine(line) {}

	Lyric(BMessage* from)
		:
		BArchivable(from),
		fLine(-1)
	{
		if (from != NULL)
			from->FindInt32("line", &fLine);
	}

	status_t Archive(BMessage* into, bool deep = true) const override
	{
		status_t status = BArchivable::Archive(into, deep);
		if (status == B_OK)
			status = into->AddInt32("line", fLine);
		return status;
	}

	static BArchivable* Instantiate(BMessage* from)
	{
		if (!validate_instantiation(from, "Lyric"))
			return NULL;
		return new Lyric(from);
	}

	int32 Line() const { return fLine; }

private:
	int32 fLine;
};

static BPrivate::InstantiationRegistrar sLyricRegistrar("Lyric", Lyric::Instantiate);

// Known to nobody: comes back as a Lyric.
class TimedLyric : public Lyric {
public:
	using Lyric::Lyric;
};

class Tagged {
public:
	virtual ~Tagged() {}
	int tag = 0;
};

// BArchivable reached through the second of two bases.
class TaggedLyric : public Tagged, public Lyric {
public:
	using Lyric::Lyric;
};

namespace {

std::vector<std::string>
class_names(BMessage& archive)
{
	std::vector<std::string> names;
	const char* name;
	for (int32 i = 0; archive.FindString("class", i, &name) == B_OK; i++)
		names.push_back(name);
	return names;
}

}	// namespace

namespace verso {

class Line : public Lyric {
public:
	using Lyric::Lyric;

	static BArchivable* Instantiate(BMessage* from)
	{
		if (!validate_instantiation(from, "verso::Line"))
			return NULL;
		return new Line(from);
	}
};

}	// namespace verso


TEST(Archivable, ArchiveNamesTheClassAndItsAncestors)
{
	BMessage archive;
	ASSERT_EQ(B_OK, TimedLyric(7).Archive(&archive));
	EXPECT_EQ((std::vector<std::string>{ "TimedLyric", "Lyric" }),
		class_names(archive));

	BMessage tagged;
	ASSERT_EQ(B_OK, TaggedLyric(1).Archive(&tagged));
	EXPECT_EQ((std::vector<std::string>{ "TaggedLyric", "Lyric" }),
		class_names(tagged));

	BMessage named;
	ASSERT_EQ(B_OK, verso::Line(2).Archive(&named));
	EXPECT_EQ("verso::Line", class_names(named).front());

	EXPECT_EQ(B_BAD_VALUE, BArchivable().Archive(NULL));
}


TEST(Archivable, InstantiateFindsTheNearestRegisteredClass)
{
	BMessage archive;
	ASSERT_EQ(B_OK, TimedLyric(12).Archive(&archive));

	EXPECT_EQ((instantiation_func)Lyric::Instantiate, find_instantiation_func("Lyric"));
	EXPECT_EQ(nullptr, find_instantiation_func("TimedLyric"));
	EXPECT_EQ((instantiation_func)Lyric::Instantiate, find_instantiation_func(&archive));
	EXPECT_TRUE(validate_instantiation(&archive, "Lyric"));

	image_id image = 0;
	BArchivable* object = instantiate_object(&archive, &image);
	ASSERT_NE(nullptr, object);
	EXPECT_EQ(B_BAD_IMAGE_ID, image);
	Lyric* lyric = dynamic_cast<Lyric*>(object);
	ASSERT_NE(nullptr, lyric);
	EXPECT_EQ(12, lyric->Line());
	delete object;

	// A registration lasts as long as its registrar.
	BMessage line;
	line.AddString("class", "verso::Line");
	{
		BPrivate::InstantiationRegistrar registrar("verso::Line", verso::Line::Instantiate);
		BArchivable* registered = instantiate_object(&line);
		EXPECT_NE(nullptr, dynamic_cast<verso::Line*>(registered));
		delete registered;
	}
	errno = 0;
	EXPECT_EQ(nullptr, instantiate_object(&line));
	EXPECT_EQ(B_NAME_NOT_FOUND, errno);
}


TEST(Archivable, RefusesArchivesItCannotUse)
{
	errno = 0;
	EXPECT_EQ(nullptr, instantiate_object(NULL));
	EXPECT_EQ(B_BAD_VALUE, errno);

	BMessage classless;
	classless.AddInt32("line", 1);
	errno = 0;
	EXPECT_EQ(nullptr, instantiate_object(&classless));
	EXPECT_EQ(B_BAD_VALUE, errno);

	// A class's own Instantiate refuses an archive of another class.
	BMessage other;
	other.AddString("class", "BView");
	errno = 0;
	EXPECT_EQ(nullptr, Lyric::Instantiate(&other));
	EXPECT_EQ(B_MISMATCHED_VALUES, errno);
	EXPECT_FALSE(validate_instantiation(&other, NULL));

	EXPECT_EQ(B_BAD_VALUE, BPrivate::register_instantiation_func("", Lyric::Instantiate));
	EXPECT_EQ(B_BAD_VALUE, BPrivate::register_instantiation_func("X", NULL));
}
