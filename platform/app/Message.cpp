// BMessage: construction, field information, generic add/find/replace,
// removal, the flattened form, specifiers and replies. The typed accessors
// are in MessageFields.cpp.
#include <Message.h>

#include <DataIO.h>
#include <Messenger.h>

#include "app/MessageData.h"
#include "app/MessagePrivate.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <new>
#include <vector>

using BPrivate::MessageAccess;
using BPrivate::MessageData;
using BPrivate::MessageDelivery;
using BPrivate::MessageField;

namespace {

const char* kSpecifiersField = "specifiers";

bool valid_name(const char* name)
{
	return name != NULL && strlen(name) <= B_FIELD_NAME_LENGTH;
}

// Reads exactly `size` bytes; B_BAD_VALUE when the stream ends early.
status_t read_fully(BDataIO* stream, void* buffer, size_t size)
{
	uint8* out = static_cast<uint8*>(buffer);
	while (size > 0) {
		ssize_t got = stream->Read(out, size);
		if (got < 0)
			return (status_t)got;
		if (got == 0)
			return B_BAD_VALUE;
		out += got;
		size -= (size_t)got;
	}
	return B_OK;
}

}

// ---- Construction

BMessage::BMessage()
	: what(0), fData(new (fDataRoom) MessageData), fDelivery(NULL), fCurSpecifier(-1)
{
	static_assert(sizeof(MessageData) <= kDataRoom && alignof(MessageData) <= 8,
		"a message's fields do not fit in it");
	static_assert(sizeof(MessageDelivery) <= kDeliveryRoom
		&& alignof(MessageDelivery) <= 8, "a message's delivery state does not fit in it");
}

[[gnu::hot]] BMessage::BMessage(uint32 command)
	: what(command), fData(new (fDataRoom) MessageData), fDelivery(NULL),
	  fCurSpecifier(-1)
{
}

[[gnu::hot]] BMessage::BMessage(const BMessage& other)
	: what(other.what), fData(new (fDataRoom) MessageData(*other.fData)), fDelivery(NULL),
	  fCurSpecifier(other.fCurSpecifier)
{
}

[[gnu::hot]] BMessage::~BMessage()
{
	_ClearDelivery();
	fData->~MessageData();
}

BMessage& BMessage::operator=(const BMessage& other)
{
	// The delivery state stays with this object: it describes how this
	// message arrived, not what it holds.
	if (this != &other) {
		what = other.what;
		*fData = *other.fData;
		fCurSpecifier = other.fCurSpecifier;
	}
	return *this;
}

[[gnu::hot]] void BMessage::_ClearDelivery()
{
	if (fDelivery == NULL)
		return;
	// A sender still blocked on this message must learn that no answer
	// will come.
	if (fDelivery->slot && !fDelivery->replyDone) {
		BMessage* noReply = new BMessage(B_NO_REPLY);
		MessageDelivery& d = MessageAccess::MakeDelivery(noReply);
		d.wasDelivered = true;
		d.isReply = true;
		fDelivery->replyDone = true;
		fDelivery->slot->Deliver(noReply);
	}
	fDelivery->~MessageDelivery();
	fDelivery = NULL;
}

// ---- Information

status_t BMessage::GetInfo(type_code type, int32 index, char** nameFound,
                           type_code* typeFound, int32* countFound) const
{
	const char* name = NULL;
	status_t status = GetInfo(type, index, &name, typeFound, countFound);
	if (status == B_OK && nameFound != NULL)
		*nameFound = const_cast<char*>(name);
	return status;
}

status_t BMessage::GetInfo(type_code type, int32 index, const char** nameFound,
                           type_code* typeFound, int32* countFound) const
{
	if (index < 0)
		return B_BAD_INDEX;
	int32 matching = 0;
	for (const MessageField& field : fData->fields) {
		if (type != B_ANY_TYPE && field.type != type)
			continue;
		if (matching == index) {
			if (nameFound != NULL)
				*nameFound = field.name.c_str();
			if (typeFound != NULL)
				*typeFound = field.type;
			if (countFound != NULL)
				*countFound = (int32)field.CountItems();
			return B_OK;
		}
		matching++;
	}
	return matching == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound,
                           int32* countFound) const
{
	if (name == NULL)
		return B_BAD_VALUE;
	const MessageField* field = fData->Find(name);
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (typeFound != NULL)
		*typeFound = field->type;
	if (countFound != NULL)
		*countFound = (int32)field->CountItems();
	return B_OK;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound,
                           bool* fixedSize) const
{
	if (name == NULL)
		return B_BAD_VALUE;
	const MessageField* field = fData->Find(name);
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (typeFound != NULL)
		*typeFound = field->type;
	if (fixedSize != NULL)
		*fixedSize = field->fixedSize;
	return B_OK;
}

int32 BMessage::CountNames(type_code type) const
{
	if (type == B_ANY_TYPE)
		return (int32)fData->fields.size();
	return (int32)std::count_if(fData->fields.begin(), fData->fields.end(),
		[type](const MessageField& f) { return f.type == type; });
}

bool BMessage::IsEmpty() const
{
	return fData->fields.empty();
}

bool BMessage::IsSystem() const
{
	char a = (char)(what >> 24);
	char b = (char)(what >> 16);
	char c = (char)(what >> 8);
	char d = (char)what;
	return a == '_' && isupper((uchar)b) && isupper((uchar)c) && isupper((uchar)d);
}

bool BMessage::IsReply() const
{
	return fDelivery != NULL && fDelivery->isReply;
}

status_t BMessage::Rename(const char* oldName, const char* newName)
{
	if (oldName == NULL || !valid_name(newName))
		return B_BAD_VALUE;
	MessageField* field = fData->Find(oldName);
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (strcmp(oldName, newName) == 0)
		return B_OK;
	if (fData->Find(newName) != NULL)
		return B_NAME_IN_USE;
	field->name = newName;
	return B_OK;
}

// ---- Delivery information

bool BMessage::WasDelivered() const
{
	return fDelivery != NULL && fDelivery->wasDelivered;
}

bool BMessage::IsSourceWaiting() const
{
	return fDelivery != NULL && fDelivery->slot && !fDelivery->replyDone;
}

bool BMessage::IsSourceRemote() const
{
	return fDelivery != NULL && fDelivery->sourceRemote;
}

BMessenger BMessage::ReturnAddress() const
{
	if (fDelivery == NULL)
		return BMessenger();
	return fDelivery->replyTo;
}

const BMessage* BMessage::Previous() const
{
	if (fDelivery == NULL)
		return NULL;
	// Made on first request; the lock keeps two threads asking at once from
	// making it twice.
	static std::mutex lock;
	std::lock_guard<std::mutex> guard(lock);
	if (fDelivery->previousPending) {
		fDelivery->previous = std::make_unique<BMessage>(fDelivery->previousWhat);
		fDelivery->previousPending = false;
	}
	return fDelivery->previous.get();
}

[[gnu::hot]] bool BMessage::WasDropped() const
{
	return fDelivery != NULL && fDelivery->dropped;
}

BPoint BMessage::DropPoint(BPoint* offset) const
{
	if (offset != NULL)
		*offset = FindPoint("_drop_offset_");
	return FindPoint("_drop_point_");
}

// ---- Generic field access

[[gnu::hot]] status_t BMessage::_Add(const char* name, type_code type, const void* data,
                        size_t size, bool fixedSize)
{
	if (!valid_name(name) || type == B_ANY_TYPE || (data == NULL && size > 0))
		return B_BAD_VALUE;
	if (fixedSize && size == 0)
		return B_BAD_VALUE;
	const uint8* bytes = static_cast<const uint8*>(data);
	MessageField* field = fData->Find(name);
	if (field == NULL) {
		MessageField& fresh = fData->fields.emplace_back();
		fresh.name = name;
		fresh.type = type;
		fresh.fixedSize = fixedSize;
		if (!fresh.AddItem(bytes, size)) {
			fData->fields.pop_back();
			return B_NO_MEMORY;
		}
		return B_OK;
	}
	if (field->type != type || field->fixedSize != fixedSize)
		return B_BAD_TYPE;
	if (!field->AddItem(bytes, size))
		return fixedSize && size != field->ItemSize(0) ? B_BAD_VALUE : B_NO_MEMORY;
	return B_OK;
}

[[gnu::hot]] status_t BMessage::_Find(const char* name, type_code type, int32 index,
                         const void** data, size_t* size) const
{
	if (name == NULL)
		return B_BAD_VALUE;
	const MessageField* field = fData->Find(name);
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (type != B_ANY_TYPE && field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || (size_t)index >= field->CountItems())
		return B_BAD_INDEX;
	*data = field->ItemData((size_t)index);
	*size = field->ItemSize((size_t)index);
	return B_OK;
}

status_t BMessage::_Replace(const char* name, type_code type, int32 index,
                            const void* data, size_t size)
{
	if (name == NULL || (data == NULL && size > 0))
		return B_BAD_VALUE;
	MessageField* field = fData->Find(name);
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || (size_t)index >= field->CountItems())
		return B_BAD_INDEX;
	if (field->fixedSize && field->ItemSize((size_t)index) != size)
		return B_BAD_VALUE;
	if (!field->ReplaceItem((size_t)index, data, size))
		return B_NO_MEMORY;
	return B_OK;
}

[[gnu::hot]] status_t BMessage::AddData(const char* name, type_code type, const void* data,
                           ssize_t numBytes, bool isFixedSize, int32 count)
{
	if (numBytes < 0 || count < 0)
		return B_BAD_VALUE;
	MessageField* field = fData->Find(name);
	if (field == NULL && count > 1 && valid_name(name)) {
		status_t status = _Add(name, type, data, (size_t)numBytes, isFixedSize);
		if (status == B_OK)
			fData->Find(name)->Reserve((size_t)count, (size_t)count * (size_t)numBytes);
		return status;
	}
	return _Add(name, type, data, (size_t)numBytes, isFixedSize);
}

[[gnu::hot]] status_t BMessage::FindData(const char* name, type_code type, const void** data,
                            ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}

status_t BMessage::FindData(const char* name, type_code type, int32 index,
                            const void** data, ssize_t* numBytes) const
{
	if (data == NULL)
		return B_BAD_VALUE;
	const void* found;
	size_t size;
	status_t status = _Find(name, type, index, &found, &size);
	if (status != B_OK)
		return status;
	*data = found;
	if (numBytes != NULL)
		*numBytes = (ssize_t)size;
	return B_OK;
}

status_t BMessage::ReplaceData(const char* name, type_code type, const void* data,
                               ssize_t numBytes)
{
	return ReplaceData(name, type, 0, data, numBytes);
}

status_t BMessage::ReplaceData(const char* name, type_code type, int32 index,
                               const void* data, ssize_t numBytes)
{
	if (numBytes < 0)
		return B_BAD_VALUE;
	return _Replace(name, type, index, data, (size_t)numBytes);
}

bool BMessage::HasData(const char* name, type_code type, int32 index) const
{
	const void* data;
	size_t size;
	return _Find(name, type, index, &data, &size) == B_OK;
}

status_t BMessage::RemoveData(const char* name, int32 index)
{
	if (name == NULL)
		return B_BAD_VALUE;
	auto& fields = fData->fields;
	auto it = std::find_if(fields.begin(), fields.end(),
		[name](const MessageField& f) { return f.name == name; });
	if (it == fields.end())
		return B_NAME_NOT_FOUND;
	if (index < 0 || (size_t)index >= it->CountItems())
		return B_BAD_INDEX;
	it->RemoveItem((size_t)index);
	// A field without items cannot be flattened and means nothing.
	if (it->IsEmpty())
		fields.erase(it);
	if (strcmp(name, kSpecifiersField) == 0) {
		const MessageField* left = fData->Find(name);
		int32 count = left != NULL ? (int32)left->CountItems() : 0;
		fCurSpecifier = std::min(fCurSpecifier, count - 1);
	}
	return B_OK;
}

status_t BMessage::RemoveName(const char* name)
{
	if (name == NULL)
		return B_BAD_VALUE;
	auto& fields = fData->fields;
	auto it = std::find_if(fields.begin(), fields.end(),
		[name](const MessageField& f) { return f.name == name; });
	if (it == fields.end())
		return B_NAME_NOT_FOUND;
	fields.erase(it);
	if (strcmp(name, kSpecifiersField) == 0)
		fCurSpecifier = -1;
	return B_OK;
}

status_t BMessage::MakeEmpty()
{
	fData->fields.clear();
	fCurSpecifier = -1;
	return B_OK;
}

// ---- Flattened form

ssize_t BMessage::FlattenedSize() const
{
	return (ssize_t)BPrivate::flattened_size(*fData);
}

namespace {

// The flattened form of a message for storage: its what and fields, and
// the scripting flag; no delivery information.
status_t flatten_for_storage(const BMessage* message, const MessageData& data,
                             std::vector<uint8>* out)
{
	MessageData copy = data;
	copy.header = BPrivate::MessageHeader();
	copy.header.what = message->what;
	copy.header.scripting = message->HasSpecifiers();
	return BPrivate::flatten_message(copy, out);
}

}

status_t BMessage::Flatten(char* buffer, ssize_t size) const
{
	if (buffer == NULL || size < 0)
		return B_BAD_VALUE;
	std::vector<uint8> flat;
	status_t status = flatten_for_storage(this, *fData, &flat);
	if (status != B_OK)
		return status;
	if (flat.size() > (size_t)size)
		return B_NO_MEMORY;
	memcpy(buffer, flat.data(), flat.size());
	return B_OK;
}

status_t BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
	if (stream == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> flat;
	status_t status = flatten_for_storage(this, *fData, &flat);
	if (status != B_OK)
		return status;
	size_t written = 0;
	while (written < flat.size()) {
		ssize_t result = stream->Write(flat.data() + written, flat.size() - written);
		if (result < 0)
			return (status_t)result;
		if (result == 0)
			return B_IO_ERROR;
		written += (size_t)result;
	}
	if (size != NULL)
		*size = (ssize_t)written;
	return B_OK;
}

namespace {

// Takes a freshly read message's what and fields into `message`.
void take_unflattened(BMessage* message, MessageData* data, int32* currentSpecifier)
{
	message->what = data->header.what;
	MessageData& own = MessageAccess::Data(message);
	own.fields = std::move(data->fields);
	own.header = BPrivate::MessageHeader();
	const MessageField* specifiers = own.Find(kSpecifiersField);
	*currentSpecifier = specifiers != NULL && specifiers->type == B_MESSAGE_TYPE
		? (int32)specifiers->CountItems() - 1 : -1;
}

}

status_t BMessage::Unflatten(const char* buffer)
{
	if (buffer == NULL)
		return B_BAD_VALUE;
	const uint8* bytes = reinterpret_cast<const uint8*>(buffer);
	size_t total;
	status_t status = BPrivate::flattened_size_from_header(bytes, 12, &total);
	if (status != B_OK)
		return status;
	MessageData data;
	status = BPrivate::unflatten_message(bytes, total, &data);
	if (status != B_OK)
		return status;
	take_unflattened(this, &data, &fCurSpecifier);
	return B_OK;
}

status_t BMessage::Unflatten(BDataIO* stream)
{
	if (stream == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> flat(12);
	status_t status = read_fully(stream, flat.data(), flat.size());
	if (status != B_OK)
		return status;
	size_t total;
	status = BPrivate::flattened_size_from_header(flat.data(), flat.size(), &total);
	if (status != B_OK)
		return status;
	// Read in growing steps: a damaged size field must not make us
	// allocate more than the stream actually delivers.
	size_t step = 4096;
	while (flat.size() < total) {
		size_t chunk = std::min(step, total - flat.size());
		size_t old = flat.size();
		flat.resize(old + chunk);
		status = read_fully(stream, flat.data() + old, chunk);
		if (status != B_OK)
			return status;
		step = std::min<size_t>(step * 2, 1 << 20);
	}
	MessageData data;
	status = BPrivate::unflatten_message(flat.data(), flat.size(), &data);
	if (status != B_OK)
		return status;
	take_unflattened(this, &data, &fCurSpecifier);
	return B_OK;
}

// ---- Specifiers

status_t BMessage::AddSpecifier(const char* property)
{
	if (property == NULL)
		return B_BAD_VALUE;
	BMessage specifier(B_DIRECT_SPECIFIER);
	specifier.AddString("property", property);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const char* property, int32 index)
{
	if (property == NULL || index < 0)
		return B_BAD_VALUE;
	BMessage specifier(B_INDEX_SPECIFIER);
	specifier.AddString("property", property);
	specifier.AddInt32("index", index);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const char* property, int32 index, int32 range)
{
	if (property == NULL || index < 0 || range < 0)
		return B_BAD_VALUE;
	BMessage specifier(B_RANGE_SPECIFIER);
	specifier.AddString("property", property);
	specifier.AddInt32("index", index);
	specifier.AddInt32("range", range);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const char* property, const char* name)
{
	if (property == NULL || name == NULL)
		return B_BAD_VALUE;
	BMessage specifier(B_NAME_SPECIFIER);
	specifier.AddString("property", property);
	specifier.AddString("name", name);
	return AddSpecifier(&specifier);
}

status_t BMessage::AddSpecifier(const BMessage* specifier)
{
	if (specifier == NULL)
		return B_BAD_VALUE;
	status_t status = AddMessage(kSpecifiersField, specifier);
	if (status != B_OK)
		return status;
	fCurSpecifier = (int32)fData->Find(kSpecifiersField)->CountItems() - 1;
	return B_OK;
}

status_t BMessage::SetCurrentSpecifier(int32 index)
{
	int32 count = 0;
	type_code type;
	if (GetInfo(kSpecifiersField, &type, &count) != B_OK || type != B_MESSAGE_TYPE)
		return B_BAD_INDEX;
	if (index < 0 || index >= count)
		return B_BAD_INDEX;
	fCurSpecifier = index;
	return B_OK;
}

status_t BMessage::GetCurrentSpecifier(int32* index, BMessage* specifier,
                                       int32* form, const char** property) const
{
	if (fCurSpecifier < 0 || !HasSpecifiers())
		return B_BAD_SCRIPT_SYNTAX;
	BMessage current;
	status_t status = FindMessage(kSpecifiersField, fCurSpecifier, &current);
	if (status != B_OK)
		return status;
	if (index != NULL)
		*index = fCurSpecifier;
	if (form != NULL)
		*form = (int32)current.what;
	if (property != NULL) {
		// The string must outlive `current`: keep it with the message.
		const char* name = NULL;
		if (current.FindString("property", &name) != B_OK)
			return B_BAD_SCRIPT_SYNTAX;
		MessageDelivery& d = MessageAccess::MakeDelivery(const_cast<BMessage*>(this));
		d.propertyCache = name;
		*property = d.propertyCache.c_str();
	}
	if (specifier != NULL)
		*specifier = current;
	return B_OK;
}

bool BMessage::HasSpecifiers() const
{
	return HasData(kSpecifiersField, B_MESSAGE_TYPE);
}

status_t BMessage::PopSpecifier()
{
	if (fCurSpecifier < 0)
		return B_BAD_VALUE;
	fCurSpecifier--;
	return B_OK;
}

// ---- Replies

status_t BMessage::SendReply(uint32 command, BHandler* replyTo)
{
	BMessage reply(command);
	return SendReply(&reply, replyTo);
}

[[gnu::hot]] status_t BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout)
{
	BMessenger messenger;
	if (replyTo != NULL) {
		status_t status;
		messenger = BMessenger(replyTo, NULL, &status);
		if (status != B_OK)
			return status;
	}
	return _SendReply(reply, &messenger, timeout, NULL, B_INFINITE_TIMEOUT);
}

status_t BMessage::SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout)
{
	return _SendReply(reply, &replyTo, timeout, NULL, B_INFINITE_TIMEOUT);
}

status_t BMessage::SendReply(uint32 command, BMessage* replyToReply)
{
	BMessage reply(command);
	return _SendReply(&reply, NULL, B_INFINITE_TIMEOUT, replyToReply,
		B_INFINITE_TIMEOUT);
}

status_t BMessage::SendReply(BMessage* reply, BMessage* replyToReply,
                             bigtime_t sendTimeout, bigtime_t replyTimeout)
{
	return _SendReply(reply, NULL, sendTimeout, replyToReply, replyTimeout);
}

[[gnu::hot]] status_t BMessage::_SendReply(BMessage* reply, const BMessenger* replyTo,
                              bigtime_t sendTimeout, BMessage* replyToReply,
                              bigtime_t replyTimeout)
{
	if (reply == NULL)
		return B_BAD_VALUE;
	if (fDelivery == NULL || !fDelivery->wasDelivered)
		return B_BAD_REPLY;
	if (fDelivery->replyDone)
		return B_DUPLICATE_REPLY;

	BPrivate::SendOptions options;
	options.timeout = sendTimeout;
	options.isReply = true;
	options.previous = this;
	if (replyTo != NULL)
		options.replyTo = *replyTo;
	std::shared_ptr<BPrivate::ReplySlot> answerSlot;
	if (replyToReply != NULL) {
		answerSlot = std::make_shared<BPrivate::ReplySlot>();
		options.slot = answerSlot;
	}

	if (fDelivery->slot) {
		// The sender waits in this process: hand the reply over directly.
		BMessage* copy = BPrivate::make_delivered_copy(*reply, options);
		fDelivery->replyDone = true;
		fDelivery->slot->Deliver(copy);
	} else {
		// A return address that is gone, or was never given, cannot be
		// answered.
		status_t status = BPrivate::deliver_message(fDelivery->replyTo, *reply, options);
		if (status != B_OK)
			return status == B_BAD_PORT_ID ? B_BAD_REPLY : status;
		fDelivery->replyDone = true;
	}

	if (replyToReply == NULL)
		return B_OK;
	BMessage* answer = NULL;
	status_t status = answerSlot->Wait(replyTimeout, &answer);
	if (status != B_OK)
		return status;
	MessageAccess::Adopt(replyToReply, answer);
	return B_OK;
}

// ---- Debugging output

namespace {

void print_code(uint32 code)
{
	char c[4] = { (char)(code >> 24), (char)(code >> 16), (char)(code >> 8), (char)code };
	bool printable = true;
	for (char ch : c)
		printable = printable && isprint((uchar)ch);
	if (printable)
		printf("'%c%c%c%c'", c[0], c[1], c[2], c[3]);
	else
		printf("0x%08x", (unsigned)code);
}

void print_item(type_code type, const uint8* data, size_t size)
{
	auto fits = [size](size_t wanted) { return size == wanted; };
	switch (type) {
		case B_BOOL_TYPE:
			if (fits(1)) { printf("%s", data[0] ? "true" : "false"); return; }
			break;
		case B_INT8_TYPE:
			if (fits(1)) { printf("%d", (int)(int8)data[0]); return; }
			break;
		case B_INT16_TYPE:
			if (fits(2)) { int16 v; memcpy(&v, data, 2); printf("%d", (int)v); return; }
			break;
		case B_INT32_TYPE:
			if (fits(4)) { int32 v; memcpy(&v, data, 4); printf("%d", (int)v); return; }
			break;
		case B_INT64_TYPE:
			if (fits(8)) { int64 v; memcpy(&v, data, 8); printf("%lld", (long long)v); return; }
			break;
		case B_FLOAT_TYPE:
			if (fits(4)) { float v; memcpy(&v, data, 4); printf("%.4f", v); return; }
			break;
		case B_DOUBLE_TYPE:
			if (fits(8)) { double v; memcpy(&v, data, 8); printf("%.8f", v); return; }
			break;
		case B_STRING_TYPE:
			if (size > 0 && data[size - 1] == 0) {
				printf("\"%s\"", reinterpret_cast<const char*>(data));
				return;
			}
			break;
		case B_POINT_TYPE:
			if (fits(8)) {
				float p[2]; memcpy(p, data, 8);
				printf("BPoint(x:%.1f, y:%.1f)", p[0], p[1]);
				return;
			}
			break;
		case B_RECT_TYPE:
			if (fits(16)) {
				float r[4]; memcpy(r, data, 16);
				printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)", r[0], r[1], r[2], r[3]);
				return;
			}
			break;
	}
	printf("%zu bytes", size);
}

}

void BMessage::PrintToStream() const
{
	printf("BMessage: what = ");
	print_code(what);
	printf("\n");
	for (const MessageField& field : fData->fields) {
		for (size_t i = 0; i < field.CountItems(); i++) {
			printf("    entry %14s, type ", field.name.c_str());
			print_code(field.type);
			printf(", c=%zu: ", i);
			print_item(field.type, field.ItemData(i), field.ItemSize(i));
			printf("\n");
		}
	}
	fflush(stdout);
}
