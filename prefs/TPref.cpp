#include "TPref.h"

#include "framework/TextUtils.h"

#include <string.h>

namespace {

rgb_color color(uint8 r, uint8 g, uint8 b)
{
	return rgb_color{r, g, b, 255};
}

// A colour is its four bytes red, green, blue, alpha, as one fixed-size item
// of raw data.
bool add_color(BMessage* archive, const char* name, const rgb_color& c)
{
	const uint8 bytes[4] = {c.red, c.green, c.blue, c.alpha};
	return archive->AddData(name, B_RAW_TYPE, bytes, sizeof(bytes), true, 1) == B_OK;
}

bool find_color(const BMessage& archive, const char* name, rgb_color* c)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (archive.FindData(name, B_RAW_TYPE, &data, &size) != B_OK || size != 4)
		return false;
	const uint8* bytes = static_cast<const uint8*>(data);
	*c = rgb_color{bytes[0], bytes[1], bytes[2], bytes[3]};
	return true;
}

}

TPref::TPref()
	:
	stayOnTop(false),
	fontL(0),
	readEncoding(4),
	pollingInterval(25000),
	languageFile("English.llt"),
	antiAliasing(true),
	useActiveFrame(true),
	useBackgroundImage(false),
	imageAlignment(0),
	fontSize(12.0f),
	activeBackColor(color(51, 51, 0)),
	activeFrameColor(color(255, 255, 153)),
	activeTextColor(color(255, 255, 204)),
	backColor(color(0, 0, 0)),
	textColor(color(255, 255, 255)),
	doubleBuffering(true),
	showToolBar(true),
	writeCrType(0),
	writeEncoding(0),
	timeDifference(0),
	readExtendedTags(false)
{
	SetFontFamily("Haru");
}

TPref::~TPref()
{
}

void TPref::SetFontFamily(const char* family)
{
	size_t length = strnlen(family, B_FONT_FAMILY_LENGTH + 1);
	if (length > B_FONT_FAMILY_LENGTH) {
		length = B_FONT_FAMILY_LENGTH;
		while (length > 0 && !orvik::is_char_begin_byte(family[length]))
			length--;
	}
	memcpy(fontFamily, family, length);
	fontFamily[length] = '\0';
}

bool TPref::Archive(BMessage* archive)
{
	bool ok = TArchivable::Archive(archive);
	ok &= archive->AddBool("SoTp", stayOnTop) == B_OK;
	ok &= archive->AddInt32("FntL", fontL) == B_OK;
	ok &= archive->AddInt32("REnc", readEncoding) == B_OK;
	ok &= archive->AddInt64("MTmI", pollingInterval) == B_OK;
	ok &= archive->AddString("LLTF", languageFile.c_str()) == B_OK;
	ok &= ArchiveAppearance(archive);
	ok &= archive->AddBool("DbBf", doubleBuffering) == B_OK;
	ok &= archive->AddBool("STlB", showToolBar) == B_OK;
	ok &= archive->AddInt32("WCRT", writeCrType) == B_OK;
	ok &= archive->AddInt32("WEnc", writeEncoding) == B_OK;
	ok &= archive->AddInt32("TmDf", timeDifference) == B_OK;
	ok &= archive->AddBool("RExT", readExtendedTags) == B_OK;
	return ok;
}

bool TPref::ArchiveAppearance(BMessage* archive)
{
	bool ok = TArchivable::Archive(archive);
	ok &= archive->AddBool("AAli", antiAliasing) == B_OK;
	ok &= archive->AddBool("UAFr", useActiveFrame) == B_OK;
	ok &= archive->AddBool("UBGI", useBackgroundImage) == B_OK;
	ok &= archive->AddString("FntF", fontFamily) == B_OK;
	ok &= archive->AddInt32("ImgA", imageAlignment) == B_OK;
	ok &= archive->AddFloat("FntS", fontSize) == B_OK;
	ok &= add_color(archive, "ABCl", activeBackColor);
	ok &= add_color(archive, "AFCl", activeFrameColor);
	ok &= add_color(archive, "ALCl", activeTextColor);
	ok &= add_color(archive, "BGCl", backColor);
	ok &= add_color(archive, "LyCl", textColor);
	ok &= archive->AddString("BGIF", backgroundImage.c_str()) == B_OK;
	return ok;
}

bool TPref::Unarchive(const BMessage& archive)
{
	// Every field is read, also after a missing one.
	bool ok = TArchivable::Unarchive(archive);
	ok &= FindBool(archive, "SoTp", &stayOnTop) == B_OK;
	ok &= FindInt32(archive, "REnc", &readEncoding) == B_OK;
	ok &= FindInt32(archive, "FntL", &fontL) == B_OK;
	ok &= FindInt64(archive, "MTmI", &pollingInterval) == B_OK;
	ok &= FindString(archive, "LLTF", &languageFile) == B_OK;
	ok &= UnarchiveAppearance(archive);
	ok &= FindBool(archive, "DbBf", &doubleBuffering) == B_OK;
	ok &= FindBool(archive, "STlB", &showToolBar) == B_OK;
	ok &= FindInt32(archive, "WCRT", &writeCrType) == B_OK;
	ok &= FindInt32(archive, "WEnc", &writeEncoding) == B_OK;
	ok &= FindInt32(archive, "TmDf", &timeDifference) == B_OK;
	// Newer than the files that the editor writes: its absence is no fault.
	FindBool(archive, "RExT", &readExtendedTags);
	return ok;
}

bool TPref::UnarchiveAppearance(const BMessage& archive)
{
	bool ok = TArchivable::Unarchive(archive);
	ok &= FindBool(archive, "AAli", &antiAliasing) == B_OK;
	ok &= FindBool(archive, "UAFr", &useActiveFrame) == B_OK;
	ok &= FindBool(archive, "UBGI", &useBackgroundImage) == B_OK;
	const char* family = nullptr;
	if (archive.FindString("FntF", &family) == B_OK)
		SetFontFamily(family);
	else
		ok = false;
	ok &= FindInt32(archive, "ImgA", &imageAlignment) == B_OK;
	ok &= FindFloat(archive, "FntS", &fontSize) == B_OK;
	ok &= find_color(archive, "ABCl", &activeBackColor);
	ok &= find_color(archive, "AFCl", &activeFrameColor);
	ok &= find_color(archive, "ALCl", &activeTextColor);
	ok &= find_color(archive, "BGCl", &backColor);
	ok &= find_color(archive, "LyCl", &textColor);
	ok &= FindString(archive, "BGIF", &backgroundImage) == B_OK;
	return ok;
}
