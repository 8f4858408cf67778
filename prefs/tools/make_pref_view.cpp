// make_pref_view: writes the archived view tree of the preference window,
// a flattened message, to the file it is given. The build adds that file
// to the plug-in as its resource 'ARCV' 3000 "PrefViewRsrc".
//
//   make_pref_view <output file>
#include "prefs/tools/PrefViewLayout.h"

#include <File.h>
#include <Message.h>

#include <stdio.h>

int main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: make_pref_view <output file>\n");
		return 2;
	}
	BMessage archive;
	status_t status = archive_pref_view_tree(&archive);
	if (status != B_OK) {
		fprintf(stderr, "make_pref_view: the view tree cannot be archived (%d)\n", (int)status);
		return 1;
	}
	BFile file(argv[1], B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	if (file.InitCheck() != B_OK || archive.Flatten(&file) != B_OK) {
		fprintf(stderr, "make_pref_view: cannot write %s\n", argv[1]);
		return 1;
	}
	return 0;
}
