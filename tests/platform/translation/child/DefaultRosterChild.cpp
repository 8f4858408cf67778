// Writes, into the file named by its argument, the names of the default
// roster's translators (one a line), then the result of turning
// "lower:abc" into 'UPPR' through it. The test sets the translators
// folders in this program's environment.
#include <DataIO.h>
#include <TranslatorRoster.h>

#include <stdio.h>

#include <string>

int
main(int argc, char** argv)
{
	if (argc < 2)
		return 2;
	FILE* out = fopen(argv[1], "w");
	if (out == NULL)
		return 2;
	BTranslatorRoster* roster = BTranslatorRoster::Default();
	translator_id* ids = NULL;
	int32 count = 0;
	roster->GetAllTranslators(&ids, &count);
	for (int32 i = 0; i < count; i++) {
		const char* name = NULL;
		roster->GetTranslatorInfo(ids[i], &name, NULL, NULL);
		fprintf(out, "%s\n", name != NULL ? name : "?");
	}
	delete[] ids;

	BMemoryIO source("lower:abc", 9);
	BMallocIO result;
	status_t status = roster->Translate(&source, NULL, NULL, &result, 'UPPR');
	std::string text = result.BufferLength() > 0
		? std::string((const char*)result.Buffer(), result.BufferLength()) : "";
	fprintf(out, "translated %d %s\n", (int)status, text.c_str());
	fclose(out);
	// The default roster is released at exit.
	return 0;
}
