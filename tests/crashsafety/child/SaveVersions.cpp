#include "SaveVersions.h"

#include "framework/FileUtils.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "prefs/PrefStore.h"
#include "prefs/PrefWinDefs.h"
#include "prefs/TExitState.h"
#include "prefs/TPref.h"

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <iterator>

namespace savetest {

namespace {

const char* const kWindowFolder = "VersoD";
const char* const kWindowFile = "VersoD_ExitStates.arc";
const char* const kPresetFolderName = "VersoD";
const char* const kPresetName = "Night";

std::string settings_file(const char* folder, const char* leaf)
{
	BEntry entry;
	BPath path;
	if (!orvik::get_entry(leaf, &entry, orvik::BASE_DIR_SETTINGS, folder)
		|| entry.GetPath(&path) != B_OK || path.Path() == nullptr)
		return std::string();
	return path.Path();
}

BRect frame_of(int version)
{
	return version == 0 ? BRect(12, 34, 456, 178) : BRect(640, 480, 1001, 777);
}

float font_size_of(int version)
{
	return version == 0 ? 13.0f : 21.0f;
}

// The settings and the presets carry the same appearance.
void set_pref(TPref* pref, int version)
{
	pref->languageFile = big_text(version);
	pref->backgroundImage = big_text(version ^ 1);
	pref->fontSize = font_size_of(version);
	pref->stayOnTop = version == 1;
}

bool pref_is(const TPref& pref, int version)
{
	return pref.languageFile == big_text(version) && pref.fontSize == font_size_of(version)
		&& pref.stayOnTop == (version == 1);
}

}

bool parse_kind(const char* name, Kind* kind)
{
	for (Kind k : {Kind::kSettings, Kind::kWindow, Kind::kPreset, Kind::kCommon}) {
		if (strcmp(name, kind_name(k)) == 0) {
			*kind = k;
			return true;
		}
	}
	return false;
}

const char* kind_name(Kind kind)
{
	switch (kind) {
		case Kind::kSettings: return "settings";
		case Kind::kWindow: return "window";
		case Kind::kPreset: return "preset";
		case Kind::kCommon: return "common";
	}
	return "?";
}

std::string target_path(Kind kind)
{
	switch (kind) {
		case Kind::kSettings:
			return settings_file(kPrefFolder, kPrefFileName);
		case Kind::kWindow:
			return settings_file(kWindowFolder, kWindowFile);
		case Kind::kPreset:
			return settings_file(kPresetFolderName,
				(std::string(kPresetFilePrefix) + kPresetName).c_str());
		case Kind::kCommon:
			return settings_file("Shared", "AccKeyFormat.arc");
	}
	return std::string();
}

std::string reference_path(int version)
{
	const char* home = getenv("XDG_CONFIG_HOME");
	return std::string(home != nullptr ? home : ".") + (version == 0 ? "/ref-A" : "/ref-B");
}

bool copy_bytes(const std::string& from, const std::string& to)
{
	std::ifstream in(from, std::ios::binary);
	std::ofstream out(to, std::ios::binary | std::ios::trunc);
	if (!in || !out)
		return false;
	out << in.rdbuf();
	return bool(out.flush());
}

const std::string& big_text(int version)
{
	// Lengths that differ, and a pattern that differs at every byte.
	static const std::string texts[2] = {
		[] {
			std::string text(200000, ' ');
			for (size_t i = 0; i < text.size(); i++)
				text[i] = (char)('A' + i % 26);
			return text;
		}(),
		[] {
			std::string text(260000, ' ');
			for (size_t i = 0; i < text.size(); i++)
				text[i] = (char)('a' + i % 26);
			return text;
		}()};
	return texts[version & 1];
}

Saver::Saver(Kind kind)
	:
	fKind(kind)
{
}

Saver::~Saver()
{
	delete gPref;
	gPref = nullptr;
	delete gExitState;
	gExitState = nullptr;
}

bool Saver::Init()
{
	fTarget = target_path(fKind);
	if (fTarget.empty())
		return false;
	switch (fKind) {
		case Kind::kSettings:
			gPref = new TPref;
			break;
		case Kind::kWindow:
			gExitState = new TExitState;
			break;
		case Kind::kPreset:
			break;
		case Kind::kCommon:
			fItem.reset(new TIAPItemAccKeyFormat);
			break;
	}
	return true;
}

bool Saver::Save(int version)
{
	switch (fKind) {
		case Kind::kSettings:
			set_pref(gPref, version);
			return save_pref(true);
		case Kind::kWindow:
			gExitState->windowFrame = frame_of(version);
			return save_exit_state(kWindowFolder, kWindowFile);
		case Kind::kPreset: {
			TPref pref;
			set_pref(&pref, version);
			BMessage appearance;
			return pref.ArchiveAppearance(&appearance)
				&& orvik::save_message(appearance, fTarget.c_str());
		}
		case Kind::kCommon: {
			// The item reports no failure; the file tells.
			fItem->SetString(big_text(version));
			return true;
		}
	}
	return false;
}

int read_version(Kind kind, std::string* error)
{
	const std::string path = target_path(kind);
	BEntry entry(path.c_str());
	switch (kind) {
		case Kind::kSettings: {
			TPref pref;
			if (!pref.Load(entry)) {
				*error = "the settings do not load";
				return -1;
			}
			for (int version = 0; version < 2; version++) {
				if (pref_is(pref, version))
					return version;
			}
			*error = "the settings hold neither version";
			return -1;
		}
		case Kind::kWindow: {
			TExitState state;
			if (!state.Load(entry)) {
				*error = "the window state does not load";
				return -1;
			}
			for (int version = 0; version < 2; version++) {
				if (state.windowFrame == frame_of(version))
					return version;
			}
			*error = "the window state holds neither frame";
			return -1;
		}
		case Kind::kPreset: {
			// As the preference window loads a preset.
			BFile file(&entry, B_READ_ONLY);
			BMessage appearance;
			TPref pref;
			if (file.InitCheck() != B_OK || appearance.Unflatten(&file) != B_OK
				|| !pref.UnarchiveAppearance(appearance)) {
				*error = "the preset does not load";
				return -1;
			}
			for (int version = 0; version < 2; version++) {
				if (pref.backgroundImage == big_text(version ^ 1)
					&& pref.fontSize == font_size_of(version))
					return version;
			}
			*error = "the preset holds neither version";
			return -1;
		}
		case Kind::kCommon: {
			TIAPItemAccKeyFormat item;
			std::string value;
			item.GetString(&value, false);
			for (int version = 0; version < 2; version++) {
				if (value == big_text(version))
					return version;
			}
			*error = "the common preference holds neither version (" + std::to_string(value.size())
				+ " bytes)";
			return -1;
		}
	}
	*error = "unknown kind";
	return -1;
}

}
