// BMessage's typed accessors: each type's Add, Find, Replace and Has, and
// the value-returning finders of the older API.
//
// Numbers, points and rects are stored as their little-endian bytes, as in
// the flattened form (this platform runs on little-endian machines only).
// Nested messages are stored flattened, entry_refs in the ref's flattened
// form, messengers as MessageAccess::FLAT_MESSENGER_SIZE bytes.
#include <Message.h>

#include <Entry.h>
#include <Flattenable.h>
#include <Messenger.h>
#include <String.h>

#include "app/MessageData.h"
#include "app/MessagePrivate.h"
#include "storage/RefFlattening.h"

#include <string.h>

#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "message fields are stored in the machine's byte order");

using BPrivate::MessageAccess;
using BPrivate::MessageData;
using BPrivate::MessageField;

namespace {

// Reads a fixed-size item of exactly sizeof(T) bytes. Data read from a
// flattened message may hold items of another size: that is damaged data,
// reported as B_BAD_VALUE rather than read past the item.
template<typename T>
status_t find_fixed(const BMessage* message, const char* name, type_code type,
                    int32 index, T* out)
{
	if (out == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = message->FindData(name, type, index, &data, &size);
	if (status != B_OK)
		return status;
	if ((size_t)size != sizeof(T))
		return B_BAD_VALUE;
	memcpy(out, data, sizeof(T));
	return B_OK;
}

void rect_to_floats(const BRect& rect, float* f)
{
	f[0] = rect.left; f[1] = rect.top; f[2] = rect.right; f[3] = rect.bottom;
}

void point_to_floats(const BPoint& point, float* f)
{
	f[0] = point.x; f[1] = point.y;
}

// The flattened bytes of a message nested in another: what and fields only.
status_t flatten_nested(const BMessage* message, std::vector<uint8>* out)
{
	MessageData copy = MessageAccess::Data(message);
	copy.header = BPrivate::MessageHeader();
	copy.header.what = message->what;
	copy.header.scripting = message->HasSpecifiers();
	return BPrivate::flatten_message(copy, out);
}

status_t flatten_ref(const entry_ref* ref, std::vector<uint8>* out)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	out->resize(BPrivate::flattened_ref_size(*ref));
	return BPrivate::flatten_ref(*ref, out->data(), out->size());
}

status_t flatten_object(BFlattenable* object, std::vector<uint8>* out)
{
	if (object == NULL)
		return B_BAD_VALUE;
	ssize_t size = object->FlattenedSize();
	if (size < 0)
		return (status_t)size;
	out->resize((size_t)size);
	return object->Flatten(out->data(), size);
}

}

// ---- Numbers and booleans

#define NUMBER_ACCESSORS(Name, Type, Code)                                        \
status_t BMessage::Add##Name(const char* name, Type value)                        \
	{ return _Add(name, Code, &value, sizeof(value), true); }                     \
status_t BMessage::Find##Name(const char* name, Type* value) const                \
	{ return find_fixed(this, name, Code, 0, value); }                            \
status_t BMessage::Find##Name(const char* name, int32 index, Type* value) const   \
	{ return find_fixed(this, name, Code, index, value); }                        \
status_t BMessage::Replace##Name(const char* name, Type value)                    \
	{ return _Replace(name, Code, 0, &value, sizeof(value)); }                    \
status_t BMessage::Replace##Name(const char* name, int32 index, Type value)       \
	{ return _Replace(name, Code, index, &value, sizeof(value)); }                \
bool BMessage::Has##Name(const char* name, int32 index) const                     \
	{ return HasData(name, Code, index); }                                        \
Type BMessage::Find##Name(const char* name, int32 index) const                    \
	{ Type value = 0; find_fixed(this, name, Code, index, &value); return value; }

NUMBER_ACCESSORS(Int8, int8, B_INT8_TYPE)
NUMBER_ACCESSORS(Int16, int16, B_INT16_TYPE)
NUMBER_ACCESSORS(Int32, int32, B_INT32_TYPE)
NUMBER_ACCESSORS(Int64, int64, B_INT64_TYPE)
NUMBER_ACCESSORS(Float, float, B_FLOAT_TYPE)
NUMBER_ACCESSORS(Double, double, B_DOUBLE_TYPE)

#undef NUMBER_ACCESSORS

// A bool is one byte; any byte other than 0 reads as true (a stored byte
// is never loaded as a bool directly, as it may hold any value).
status_t BMessage::AddBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return _Add(name, B_BOOL_TYPE, &byte, 1, true);
}

status_t BMessage::FindBool(const char* name, bool* value) const
{
	return FindBool(name, 0, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const
{
	if (value == NULL)
		return B_BAD_VALUE;
	uint8 byte;
	status_t status = find_fixed(this, name, B_BOOL_TYPE, index, &byte);
	if (status == B_OK)
		*value = byte != 0;
	return status;
}

status_t BMessage::ReplaceBool(const char* name, bool value)
{
	return ReplaceBool(name, 0, value);
}

status_t BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
	uint8 byte = value ? 1 : 0;
	return _Replace(name, B_BOOL_TYPE, index, &byte, 1);
}

bool BMessage::HasBool(const char* name, int32 index) const
{
	return HasData(name, B_BOOL_TYPE, index);
}

bool BMessage::FindBool(const char* name, int32 index) const
{
	bool value = false;
	FindBool(name, index, &value);
	return value;
}

// ---- Rects and points

status_t BMessage::AddRect(const char* name, BRect rect)
{
	float f[4];
	rect_to_floats(rect, f);
	return _Add(name, B_RECT_TYPE, f, sizeof(f), true);
}

status_t BMessage::FindRect(const char* name, BRect* rect) const
{
	return FindRect(name, 0, rect);
}

status_t BMessage::FindRect(const char* name, int32 index, BRect* rect) const
{
	if (rect == NULL)
		return B_BAD_VALUE;
	float f[4];
	status_t status = find_fixed(this, name, B_RECT_TYPE, index, &f);
	if (status == B_OK)
		rect->Set(f[0], f[1], f[2], f[3]);
	return status;
}

status_t BMessage::ReplaceRect(const char* name, BRect rect)
{
	return ReplaceRect(name, 0, rect);
}

status_t BMessage::ReplaceRect(const char* name, int32 index, BRect rect)
{
	float f[4];
	rect_to_floats(rect, f);
	return _Replace(name, B_RECT_TYPE, index, f, sizeof(f));
}

bool BMessage::HasRect(const char* name, int32 index) const
{
	return HasData(name, B_RECT_TYPE, index);
}

BRect BMessage::FindRect(const char* name, int32 index) const
{
	BRect rect;
	FindRect(name, index, &rect);
	return rect;
}

status_t BMessage::AddPoint(const char* name, BPoint point)
{
	float f[2];
	point_to_floats(point, f);
	return _Add(name, B_POINT_TYPE, f, sizeof(f), true);
}

status_t BMessage::FindPoint(const char* name, BPoint* point) const
{
	return FindPoint(name, 0, point);
}

status_t BMessage::FindPoint(const char* name, int32 index, BPoint* point) const
{
	if (point == NULL)
		return B_BAD_VALUE;
	float f[2];
	status_t status = find_fixed(this, name, B_POINT_TYPE, index, &f);
	if (status == B_OK)
		*point = BPoint(f[0], f[1]);
	return status;
}

status_t BMessage::ReplacePoint(const char* name, BPoint point)
{
	return ReplacePoint(name, 0, point);
}

status_t BMessage::ReplacePoint(const char* name, int32 index, BPoint point)
{
	float f[2];
	point_to_floats(point, f);
	return _Replace(name, B_POINT_TYPE, index, f, sizeof(f));
}

bool BMessage::HasPoint(const char* name, int32 index) const
{
	return HasData(name, B_POINT_TYPE, index);
}

BPoint BMessage::FindPoint(const char* name, int32 index) const
{
	BPoint point(0, 0);
	FindPoint(name, index, &point);
	return point;
}

// ---- Strings (stored with their NUL)

status_t BMessage::AddString(const char* name, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return _Add(name, B_STRING_TYPE, string, strlen(string) + 1, false);
}

status_t BMessage::AddString(const char* name, const BString& string)
{
	return AddString(name, string.String());
}

status_t BMessage::FindString(const char* name, const char** string) const
{
	return FindString(name, (int32)0, string);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_STRING_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	// A string read from outside must end inside its item.
	if (size < 1 || static_cast<const char*>(data)[size - 1] != '\0')
		return B_BAD_VALUE;
	*string = static_cast<const char*>(data);
	return B_OK;
}

status_t BMessage::FindString(const char* name, BString* string) const
{
	return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, BString* string) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	const char* found;
	status_t status = FindString(name, index, &found);
	if (status == B_OK)
		string->SetTo(found);
	return status;
}

status_t BMessage::ReplaceString(const char* name, const char* string)
{
	return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return _Replace(name, B_STRING_TYPE, index, string, strlen(string) + 1);
}

status_t BMessage::ReplaceString(const char* name, const BString& string)
{
	return ReplaceString(name, 0, string.String());
}

status_t BMessage::ReplaceString(const char* name, int32 index, const BString& string)
{
	return ReplaceString(name, index, string.String());
}

bool BMessage::HasString(const char* name, int32 index) const
{
	return HasData(name, B_STRING_TYPE, index);
}

const char* BMessage::FindString(const char* name, int32 index) const
{
	const char* string = NULL;
	FindString(name, index, &string);
	return string;
}

// ---- Pointers (meaningful in this process only)

status_t BMessage::AddPointer(const char* name, const void* pointer)
{
	return _Add(name, B_POINTER_TYPE, &pointer, sizeof(pointer), true);
}

status_t BMessage::FindPointer(const char* name, void** pointer) const
{
	return FindPointer(name, 0, pointer);
}

status_t BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	return find_fixed(this, name, B_POINTER_TYPE, index, pointer);
}

status_t BMessage::ReplacePointer(const char* name, const void* pointer)
{
	return ReplacePointer(name, 0, pointer);
}

status_t BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
	return _Replace(name, B_POINTER_TYPE, index, &pointer, sizeof(pointer));
}

bool BMessage::HasPointer(const char* name, int32 index) const
{
	return HasData(name, B_POINTER_TYPE, index);
}

// ---- Messengers

status_t BMessage::AddMessenger(const char* name, BMessenger messenger)
{
	uint8 flat[MessageAccess::FLAT_MESSENGER_SIZE];
	MessageAccess::FlattenMessenger(messenger, flat);
	return _Add(name, B_MESSENGER_TYPE, flat, sizeof(flat), true);
}

status_t BMessage::FindMessenger(const char* name, BMessenger* messenger) const
{
	return FindMessenger(name, 0, messenger);
}

status_t BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const
{
	if (messenger == NULL)
		return B_BAD_VALUE;
	uint8 flat[MessageAccess::FLAT_MESSENGER_SIZE];
	status_t status = find_fixed(this, name, B_MESSENGER_TYPE, index, &flat);
	if (status == B_OK)
		MessageAccess::UnflattenMessenger(messenger, flat);
	return status;
}

status_t BMessage::ReplaceMessenger(const char* name, BMessenger messenger)
{
	return ReplaceMessenger(name, 0, messenger);
}

status_t BMessage::ReplaceMessenger(const char* name, int32 index, BMessenger messenger)
{
	uint8 flat[MessageAccess::FLAT_MESSENGER_SIZE];
	MessageAccess::FlattenMessenger(messenger, flat);
	return _Replace(name, B_MESSENGER_TYPE, index, flat, sizeof(flat));
}

bool BMessage::HasMessenger(const char* name, int32 index) const
{
	return HasData(name, B_MESSENGER_TYPE, index);
}

// ---- entry_refs

status_t BMessage::AddRef(const char* name, const entry_ref* ref)
{
	std::vector<uint8> flat;
	status_t status = flatten_ref(ref, &flat);
	if (status != B_OK)
		return status;
	return _Add(name, B_REF_TYPE, flat.data(), flat.size(), false);
}

status_t BMessage::FindRef(const char* name, entry_ref* ref) const
{
	return FindRef(name, 0, ref);
}

status_t BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_REF_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	entry_ref found;
	status = BPrivate::unflatten_ref(&found, static_cast<const uint8*>(data), (size_t)size);
	if (status == B_OK)
		*ref = found;
	return status;
}

status_t BMessage::ReplaceRef(const char* name, const entry_ref* ref)
{
	return ReplaceRef(name, 0, ref);
}

status_t BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
	std::vector<uint8> flat;
	status_t status = flatten_ref(ref, &flat);
	if (status != B_OK)
		return status;
	return _Replace(name, B_REF_TYPE, index, flat.data(), flat.size());
}

bool BMessage::HasRef(const char* name, int32 index) const
{
	return HasData(name, B_REF_TYPE, index);
}

// ---- Nested messages

status_t BMessage::AddMessage(const char* name, const BMessage* message)
{
	if (message == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> flat;
	status_t status = flatten_nested(message, &flat);
	if (status != B_OK)
		return status;
	return _Add(name, B_MESSAGE_TYPE, flat.data(), flat.size(), false);
}

status_t BMessage::FindMessage(const char* name, BMessage* message) const
{
	return FindMessage(name, 0, message);
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_MESSAGE_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	MessageData nested;
	status = BPrivate::unflatten_message(static_cast<const uint8*>(data),
		(size_t)size, &nested);
	if (status != B_OK)
		return status;
	// `message` may be this very message: everything needed was copied out.
	message->what = nested.header.what;
	MessageData& target = MessageAccess::Data(message);
	target.fields = std::move(nested.fields);
	const MessageField* specifiers = target.Find("specifiers");
	MessageAccess::SetCurrentSpecifier(message,
		specifiers != NULL && specifiers->type == B_MESSAGE_TYPE
			? (int32)specifiers->CountItems() - 1 : -1);
	return B_OK;
}

status_t BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
	return ReplaceMessage(name, 0, message);
}

status_t BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
	if (message == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> flat;
	status_t status = flatten_nested(message, &flat);
	if (status != B_OK)
		return status;
	return _Replace(name, B_MESSAGE_TYPE, index, flat.data(), flat.size());
}

bool BMessage::HasMessage(const char* name, int32 index) const
{
	return HasData(name, B_MESSAGE_TYPE, index);
}

// ---- Flattenable objects

status_t BMessage::AddFlat(const char* name, BFlattenable* object, int32 count)
{
	std::vector<uint8> flat;
	status_t status = flatten_object(object, &flat);
	if (status != B_OK)
		return status;
	return AddData(name, object->TypeCode(), flat.data(), (ssize_t)flat.size(),
		object->IsFixedSize(), count);
}

status_t BMessage::FindFlat(const char* name, BFlattenable* object) const
{
	return FindFlat(name, 0, object);
}

status_t BMessage::FindFlat(const char* name, int32 index, BFlattenable* object) const
{
	if (object == NULL)
		return B_BAD_VALUE;
	type_code type;
	int32 count;
	status_t status = GetInfo(name, &type, &count);
	if (status != B_OK)
		return status;
	if (!object->AllowsTypeCode(type))
		return B_BAD_TYPE;
	const void* data;
	ssize_t size;
	status = FindData(name, type, index, &data, &size);
	if (status != B_OK)
		return status;
	return object->Unflatten(type, data, size);
}

status_t BMessage::ReplaceFlat(const char* name, BFlattenable* object)
{
	return ReplaceFlat(name, 0, object);
}

status_t BMessage::ReplaceFlat(const char* name, int32 index, BFlattenable* object)
{
	std::vector<uint8> flat;
	status_t status = flatten_object(object, &flat);
	if (status != B_OK)
		return status;
	return _Replace(name, object->TypeCode(), index, flat.data(), flat.size());
}

bool BMessage::HasFlat(const char* name, const BFlattenable* object) const
{
	return HasFlat(name, 0, object);
}

bool BMessage::HasFlat(const char* name, int32 index, const BFlattenable* object) const
{
	type_code type;
	int32 count;
	if (object == NULL || GetInfo(name, &type, &count) != B_OK)
		return false;
	return index >= 0 && index < count && object->AllowsTypeCode(type);
}
