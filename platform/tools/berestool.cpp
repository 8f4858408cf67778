// berestool: appends typed, numbered, named resources to a file (a shared
// library, an add-on, a program), as BResources reads them.
//
//   berestool <file> --type=<type> --id=<id> --name=<name> --file=<data> ...
//
// Each resource is given by the four options, in that order; --name= may be
// empty. A type is four characters ('CSTR' or CSTR) or a number (0x43535452).
// Resources already in the file are kept, except those of the same type and
// id, which are replaced.
#include "storage/ResourceContainer.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

using BPrivate::Resource;
using BPrivate::ResourceSet;

static bool parse_type(const std::string& text, type_code* type)
{
	std::string code = text;
	if (code.size() == 6 && code.front() == '\'' && code.back() == '\'')
		code = code.substr(1, 4);
	if (code.size() == 4 && !(code[0] == '0' && (code[1] == 'x' || code[1] == 'X'))) {
		*type = (uint32)(uint8)code[0] << 24 | (uint32)(uint8)code[1] << 16
		        | (uint32)(uint8)code[2] << 8 | (uint32)(uint8)code[3];
		return true;
	}
	char* end = nullptr;
	errno = 0;
	unsigned long long value = strtoull(code.c_str(), &end, 0);
	if (code.empty() || *end != '\0' || errno != 0 || value > 0xffffffffull)
		return false;
	*type = (type_code)value;
	return true;
}

static bool parse_id(const std::string& text, int32* id)
{
	char* end = nullptr;
	errno = 0;
	long long value = strtoll(text.c_str(), &end, 0);
	if (text.empty() || *end != '\0' || errno != 0 || value < INT32_MIN || value > INT32_MAX)
		return false;
	*id = (int32)value;
	return true;
}

static bool read_file(const char* path, std::vector<uint8>* data)
{
	FILE* file = fopen(path, "rb");
	if (file == nullptr)
		return false;
	uint8 buffer[65536];
	size_t got;
	while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0)
		data->insert(data->end(), buffer, buffer + got);
	bool ok = !ferror(file);
	fclose(file);
	return ok;
}

// The value of `--<option>=` in `arg`.
static bool option(const char* arg, const char* name, std::string* value)
{
	size_t length = strlen(name);
	if (strncmp(arg, "--", 2) != 0 || strncmp(arg + 2, name, length) != 0
	    || arg[2 + length] != '=')
		return false;
	*value = arg + 3 + length;
	return true;
}

static int usage()
{
	fprintf(stderr, "usage: berestool <file> (--type=<type> --id=<id> --name=<name> "
	                "--file=<data>)...\n");
	return 2;
}

int main(int argc, char** argv)
{
	if (argc < 2 || (argc - 2) % 4 != 0)
		return usage();
	const char* target = argv[1];

	std::vector<Resource> added;
	for (int i = 2; i < argc; i += 4) {
		std::string type, id, name, file;
		if (!option(argv[i], "type", &type) || !option(argv[i + 1], "id", &id)
		    || !option(argv[i + 2], "name", &name) || !option(argv[i + 3], "file", &file))
			return usage();
		Resource resource;
		if (!parse_type(type, &resource.type)) {
			fprintf(stderr, "berestool: bad type '%s'\n", type.c_str());
			return 2;
		}
		if (!parse_id(id, &resource.id)) {
			fprintf(stderr, "berestool: bad id '%s'\n", id.c_str());
			return 2;
		}
		if (name.size() > 255) {
			fprintf(stderr, "berestool: name longer than 255 bytes\n");
			return 2;
		}
		resource.name = name;
		if (!read_file(file.c_str(), &resource.data)) {
			fprintf(stderr, "berestool: cannot read %s: %s\n", file.c_str(), strerror(errno));
			return 1;
		}
		added.push_back(std::move(resource));
	}

	int fd = open(target, O_RDWR | O_CLOEXEC);
	if (fd < 0) {
		fprintf(stderr, "berestool: cannot open %s: %s\n", target, strerror(errno));
		return 1;
	}
	ResourceSet set;
	if (BPrivate::read_resources(fd, &set) != B_OK) {
		fprintf(stderr, "berestool: %s has a damaged resource container\n", target);
		close(fd);
		return 1;
	}
	for (Resource& resource : added)
		set.Put(std::move(resource));
	status_t status = BPrivate::write_resources(fd, set);
	if (close(fd) != 0 && status == B_OK)
		status = B_IO_ERROR;
	if (status != B_OK) {
		fprintf(stderr, "berestool: cannot write the resources of %s\n", target);
		return 1;
	}
	return 0;
}
