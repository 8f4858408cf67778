// Flattening and unflattening a typical settings-sized message: ten small
// fields of the kinds the system stores (numbers, flags, strings, a
// rectangle, a colour).
#include <benchmark/benchmark.h>

#include "app/MessageData.h"

#include <TypeConstants.h>

#include <string.h>

using namespace BPrivate;

namespace {

std::vector<uint8> bytes_of(const void* data, size_t size)
{
	const uint8* p = (const uint8*)data;
	return std::vector<uint8>(p, p + size);
}

std::vector<uint8> string_of(const char* text)
{
	return bytes_of(text, strlen(text) + 1);
}

MessageField make_field(const char* name, type_code type, bool fixedSize,
	std::vector<std::vector<uint8>> items)
{
	MessageField field;
	field.name = name;
	field.type = type;
	field.fixedSize = fixedSize;
	for (const std::vector<uint8>& item : items)
		field.AddItem(item.data(), item.size());
	return field;
}

MessageData ten_fields()
{
	int32 size = 14;
	int32 offset = -250;
	float rect[4] = {10, 20, 310, 420};
	uint8 colour[4] = {255, 200, 0, 255};
	uint8 yes = 1;
	int64 stamp = 1234567890123;
	double ratio = 0.75;

	MessageData data;
	data.header.what = 'Pref';
	data.fields.push_back(make_field("font size", B_INT32_TYPE, true, {bytes_of(&size, 4)}));
	data.fields.push_back(make_field("offset", B_INT32_TYPE, true, {bytes_of(&offset, 4)}));
	data.fields.push_back(make_field("frame", B_RECT_TYPE, true, {bytes_of(rect, 16)}));
	data.fields.push_back(make_field("colour", B_RGB_COLOR_TYPE, true, {bytes_of(colour, 4)}));
	data.fields.push_back(make_field("docked", B_BOOL_TYPE, true, {bytes_of(&yes, 1)}));
	data.fields.push_back(make_field("saved", B_INT64_TYPE, true, {bytes_of(&stamp, 8)}));
	data.fields.push_back(make_field("ratio", B_DOUBLE_TYPE, true, {bytes_of(&ratio, 8)}));
	data.fields.push_back(make_field("font", B_STRING_TYPE, false, {string_of("Noto Sans")}));
	data.fields.push_back(make_field("language", B_STRING_TYPE, false, {string_of("English")}));
	data.fields.push_back(make_field("folders", B_STRING_TYPE, false,
		{string_of("/home/music"), string_of("/home/lyrics")}));
	return data;
}

void BM_FlattenTenFields(benchmark::State& state)
{
	MessageData data = ten_fields();
	std::vector<uint8> buffer(flattened_size(data));
	for (auto _ : state) {
		status_t status = flatten_message(data, buffer.data(), buffer.size());
		benchmark::DoNotOptimize(status);
		benchmark::ClobberMemory();
	}
	state.SetBytesProcessed(state.iterations() * buffer.size());
}
BENCHMARK(BM_FlattenTenFields);

void BM_FlattenTenFieldsToVector(benchmark::State& state)
{
	MessageData data = ten_fields();
	for (auto _ : state) {
		std::vector<uint8> out;
		status_t status = flatten_message(data, &out);
		benchmark::DoNotOptimize(status);
		benchmark::DoNotOptimize(out.data());
	}
}
BENCHMARK(BM_FlattenTenFieldsToVector);

void BM_UnflattenTenFields(benchmark::State& state)
{
	std::vector<uint8> flat;
	flatten_message(ten_fields(), &flat);
	for (auto _ : state) {
		MessageData data;
		status_t status = unflatten_message(flat.data(), flat.size(), &data);
		benchmark::DoNotOptimize(status);
		benchmark::DoNotOptimize(data.fields.data());
	}
	state.SetBytesProcessed(state.iterations() * flat.size());
}
BENCHMARK(BM_UnflattenTenFields);

}
