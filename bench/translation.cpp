// Reading a background image: a 1280 x 800 PNG decoded into a BBitmap
// through BTranslationUtils::GetBitmap, as the lyrics view does whenever
// its appearance changes; and writing the same bitmap as PNG.
#include <Bitmap.h>
#include <BitmapStream.h>
#include <DataIO.h>
#include <TranslationUtils.h>
#include <TranslatorFormats.h>
#include <TranslatorRoster.h>

#include <benchmark/benchmark.h>

#include <math.h>

namespace {

const int kWidth = 1280;
const int kHeight = 800;

// Smooth gradients with some fine detail, so compression has work to do.
BBitmap*
make_picture()
{
	BBitmap* bitmap = new BBitmap(BRect(0, 0, kWidth - 1, kHeight - 1), B_RGB32);
	for (int y = 0; y < kHeight; y++) {
		uint8* row = (uint8*)bitmap->Bits() + y * bitmap->BytesPerRow();
		for (int x = 0; x < kWidth; x++) {
			row[x * 4] = (uint8)(x * 255 / kWidth);
			row[x * 4 + 1] = (uint8)(y * 255 / kHeight);
			row[x * 4 + 2] = (uint8)(128 + 100 * sin(x * 0.05) * cos(y * 0.07));
			row[x * 4 + 3] = 255;
		}
	}
	return bitmap;
}

void
EncodePng(benchmark::State& state)
{
	BTranslatorRoster roster;
	roster.AddTranslators(NULL);
	BBitmapStream source(make_picture());
	for (auto _ : state) {
		source.Seek(0, SEEK_SET);
		BMallocIO png;
		roster.Translate(&source, NULL, NULL, &png, B_PNG_FORMAT);
		benchmark::DoNotOptimize(png.BufferLength());
	}
}
BENCHMARK(EncodePng)->Unit(benchmark::kMillisecond);

void
DecodePng(benchmark::State& state)
{
	BTranslatorRoster roster;
	roster.AddTranslators(NULL);
	BBitmapStream source(make_picture());
	BMallocIO png;
	roster.Translate(&source, NULL, NULL, &png, B_PNG_FORMAT);
	for (auto _ : state) {
		png.Seek(0, SEEK_SET);
		BBitmap* bitmap = BTranslationUtils::GetBitmap(&png, &roster);
		benchmark::DoNotOptimize(bitmap);
		delete bitmap;
	}
}
BENCHMARK(DecodePng)->Unit(benchmark::kMillisecond);

}
