// packscope_demo: the archive translator through the default roster, as
// any program meets it.
//
//   packscope_demo [--png FILE] [ARCHIVE...]
//
// Prints, for each archive, the translator that takes it and every member
// with its length and time; --png writes a picture of the translator's
// configuration view (headless when there is no display).
#include <DataIO.h>
#include <File.h>
#include <Message.h>
#include <TranslatorRoster.h>
#include <View.h>
#include <Window.h>

#include "interface/WindowAccess.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

namespace {

int list_archive(BTranslatorRoster* roster, const char* path)
{
	BFile source(path, B_READ_ONLY);
	if (source.InitCheck() != B_OK) {
		fprintf(stderr, "packscope_demo: cannot open %s\n", path);
		return 1;
	}
	translator_info info;
	if (roster->Identify(&source, NULL, &info, 0, NULL, 'ArcL') != B_OK) {
		fprintf(stderr, "packscope_demo: no translator lists %s\n", path);
		return 1;
	}
	const char* name = NULL;
	roster->GetTranslatorInfo(info.translator, &name, NULL, NULL);
	printf("%s (%s)\n", path, name != NULL ? name : "?");

	BMessage extension;
	BMallocIO unused;
	if (roster->Translate(info.translator, &source, &extension, &unused, 'ArcL') != B_OK) {
		fprintf(stderr, "packscope_demo: the listing of %s failed\n", path);
		return 1;
	}
	const char* member = NULL;
	for (int32 i = 0; extension.FindString("Arc/entry", i, &member) == B_OK; i++) {
		BMessage request;
		request.AddInt32("Arc/target", i);
		BMessage status;
		int64 size = -1, mtime = 0;
		if (roster->Translate(info.translator, &source, &request, &unused, 'ArcS') == B_OK
			&& request.FindMessage("Arc/status", &status) == B_OK) {
			status.FindInt64("size", &size);
			status.FindInt64("mtime", &mtime);
		}
		// mtime is the listed wall-clock time counted as if it were UTC.
		time_t seconds = (time_t)(mtime / 1000);
		struct tm fields;
		gmtime_r(&seconds, &fields);
		char when[32];
		strftime(when, sizeof(when), "%Y-%m-%d %H:%M", &fields);
		printf("  %3d %10lld  %s  %s\n", (int)i, (long long)size, when, member);
	}
	return 0;
}

int write_picture(BTranslatorRoster* roster, const char* png)
{
	translator_id* ids = NULL;
	int32 count = 0;
	roster->GetAllTranslators(&ids, &count);
	translator_id zip = 0;
	for (int32 i = 0; i < count; i++) {
		const char* name = NULL;
		if (roster->GetTranslatorInfo(ids[i], &name, NULL, NULL) == B_OK
			&& strcmp(name, "ZIP Archives") == 0)
			zip = ids[i];
	}
	delete[] ids;
	BView* view = NULL;
	BRect extent;
	if (zip == 0 || roster->MakeConfigurationView(zip, NULL, &view, &extent) != B_OK) {
		fprintf(stderr, "packscope_demo: the archive translator is not installed\n");
		return 1;
	}
	BWindow* window = new BWindow(BRect(100, 100, 100 + extent.Width(),
		100 + extent.Height()), "Packscope", B_TITLED_WINDOW, B_NOT_RESIZABLE);
	window->AddChild(view);
	window->Show();
	// Drawn first, then pictured.
	BPrivate::WindowAccess::Settle(window);
	status_t status = BPrivate::WindowAccess::WritePng(window, png);
	if (window->Lock())
		window->Quit();
	if (status != B_OK) {
		fprintf(stderr, "packscope_demo: cannot write %s\n", png);
		return 1;
	}
	printf("%s\n", png);
	return 0;
}

}

int
main(int argc, char** argv)
{
	const char* png = NULL;
	int result = 0;
	BTranslatorRoster* roster = BTranslatorRoster::Default();
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
			png = argv[++i];
		} else if (argv[i][0] == '-') {
			fprintf(stderr, "usage: packscope_demo [--png FILE] [ARCHIVE...]\n");
			return 2;
		} else if (list_archive(roster, argv[i]) != 0) {
			result = 1;
		}
	}
	if (png != NULL && write_picture(roster, png) != 0)
		result = 1;
	return result;
}
