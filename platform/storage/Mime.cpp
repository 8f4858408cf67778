#include <Mime.h>

#include <Directory.h>
#include <FindDirectory.h>
#include <Path.h>

#include "storage/PathUtil.h"
#include "storage/SafeWrite.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace BPrivate;

const char* B_APP_MIME_TYPE = "application/x-vnd.Be-elfexecutable";
const char* B_FILE_MIME_TYPE = "application/octet-stream";

static const char kPreferredAppKey[] = "preferred_app=";
// A file of its own for a supertype's settings, inside the supertype's folder.
static const char kSupertypeFile[] = ".supertype";

namespace {

bool valid_token_char(char c)
{
	return c > 0x20 && c < 0x7f && strchr("()<>@,;:\\\"/[]?=", c) == nullptr;
}

// Where the kit keeps what it knows about `type`.
status_t type_file(const char* type, std::string* path, std::string* folder)
{
	BPath settings;
	status_t status = find_directory(B_USER_SETTINGS_DIRECTORY, &settings);
	if (status != B_OK)
		return status;
	std::string base = join_path(settings.Path(), "libbe/mime");
	const char* slash = strchr(type, '/');
	if (slash == nullptr) {
		*folder = join_path(base, type);
		*path = join_path(*folder, kSupertypeFile);
	} else {
		*folder = join_path(base, std::string(type, slash - type).c_str());
		*path = join_path(base, type);
	}
	return B_OK;
}

status_t read_lines(const std::string& path, std::string* contents)
{
	std::ifstream in(path);
	if (!in)
		return B_ENTRY_NOT_FOUND;
	std::stringstream buffer;
	buffer << in.rdbuf();
	*contents = buffer.str();
	return B_OK;
}

// Replaces the file as a whole, so that a reader never sees half of it.
status_t write_lines(const std::string& path, const std::string& contents)
{
	return write_file_safely(path.c_str(), contents.data(), contents.size());
}

}

BMimeType::BMimeType()
	: fType(nullptr), fCStatus(B_NO_INIT)
{
}

BMimeType::BMimeType(const char* mimeType)
	: fType(nullptr), fCStatus(B_NO_INIT)
{
	SetTo(mimeType);
}

BMimeType::~BMimeType()
{
	Unset();
}

bool BMimeType::IsValid(const char* mimeType)
{
	if (mimeType == nullptr || mimeType[0] == '\0')
		return false;
	size_t length = strlen(mimeType);
	if (length >= B_MIME_TYPE_LENGTH)
		return false;
	const char* slash = strchr(mimeType, '/');
	if (slash == mimeType || (slash != nullptr && slash[1] == '\0'))
		return false;
	for (const char* p = mimeType; *p != '\0'; p++) {
		if (p != slash && !valid_token_char(*p))
			return false;
	}
	return true;
}

status_t BMimeType::SetTo(const char* mimeType)
{
	Unset();
	if (!IsValid(mimeType))
		return fCStatus = B_BAD_VALUE;
	fType = strdup(mimeType);
	if (fType == nullptr)
		return fCStatus = B_NO_MEMORY;
	// Types compare without regard to case.
	for (char* p = fType; *p != '\0'; p++)
		*p = (char)tolower((unsigned char)*p);
	return fCStatus = B_OK;
}

void BMimeType::Unset()
{
	free(fType);
	fType = nullptr;
	fCStatus = B_NO_INIT;
}

status_t BMimeType::InitCheck() const
{
	return fCStatus;
}

const char* BMimeType::Type() const
{
	return fType;
}

bool BMimeType::IsValid() const
{
	return fCStatus == B_OK && IsValid(fType);
}

bool BMimeType::IsSupertypeOnly() const
{
	return fCStatus == B_OK && strchr(fType, '/') == nullptr;
}

status_t BMimeType::GetSupertype(BMimeType* superType) const
{
	if (superType == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	const char* slash = strchr(fType, '/');
	if (slash == nullptr)
		return B_BAD_VALUE;
	return superType->SetTo(std::string(fType, slash - fType).c_str());
}

bool BMimeType::IsInstalled() const
{
	if (fCStatus != B_OK)
		return false;
	std::string path, folder;
	if (type_file(fType, &path, &folder) != B_OK)
		return false;
	struct stat st;
	return stat(IsSupertypeOnly() ? folder.c_str() : path.c_str(), &st) == 0;
}

status_t BMimeType::Install()
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	std::string path, folder;
	status_t status = type_file(fType, &path, &folder);
	if (status == B_OK)
		status = create_directory(folder.c_str(), 0755);
	if (status != B_OK)
		return status;
	struct stat st;
	if (stat(path.c_str(), &st) == 0)
		return B_FILE_EXISTS;
	return write_lines(path, "");
}

status_t BMimeType::Delete()
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	std::string path, folder;
	status_t status = type_file(fType, &path, &folder);
	if (status != B_OK)
		return status;
	if (unlink(path.c_str()) != 0 && !(IsSupertypeOnly() && errno == ENOENT))
		return errno_status();
	if (IsSupertypeOnly() && rmdir(folder.c_str()) != 0)
		return errno_status();
	return B_OK;
}

status_t BMimeType::GetPreferredApp(char* signature, app_verb) const
{
	if (signature == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	std::string path, folder, contents;
	status_t status = type_file(fType, &path, &folder);
	if (status == B_OK)
		status = read_lines(path, &contents);
	if (status != B_OK)
		return status;
	std::istringstream lines(contents);
	for (std::string line; std::getline(lines, line); ) {
		if (line.compare(0, sizeof(kPreferredAppKey) - 1, kPreferredAppKey) != 0)
			continue;
		std::string value = line.substr(sizeof(kPreferredAppKey) - 1);
		if (value.empty() || value.size() >= B_MIME_TYPE_LENGTH)
			return B_ENTRY_NOT_FOUND;
		memcpy(signature, value.c_str(), value.size() + 1);
		return B_OK;
	}
	return B_ENTRY_NOT_FOUND;
}

status_t BMimeType::SetPreferredApp(const char* signature, app_verb)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (signature != nullptr && !IsValid(signature))
		return B_BAD_VALUE;
	std::string path, folder, contents;
	status_t status = type_file(fType, &path, &folder);
	if (status == B_OK)
		status = create_directory(folder.c_str(), 0755);
	if (status != B_OK)
		return status;
	read_lines(path, &contents);
	std::istringstream lines(contents);
	std::string kept;
	for (std::string line; std::getline(lines, line); ) {
		if (line.compare(0, sizeof(kPreferredAppKey) - 1, kPreferredAppKey) != 0)
			kept += line + "\n";
	}
	if (signature != nullptr)
		kept += std::string(kPreferredAppKey) + signature + "\n";
	return write_lines(path, kept);
}

status_t BMimeType::GetIcon(BBitmap*, icon_size) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	return B_ENTRY_NOT_FOUND;
}

bool BMimeType::operator==(const BMimeType& type) const
{
	return *this == type.Type();
}

bool BMimeType::operator==(const char* type) const
{
	if (fType == nullptr || type == nullptr)
		return fType == type;
	return strcasecmp(fType, type) == 0;
}
