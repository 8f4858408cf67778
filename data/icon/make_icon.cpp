// make_icon: draws the displayer's 32 × 32 icon, a sheet of lyrics with its
// current line highlighted and a note beside it, and writes it as the raw
// B_CMAP8 bytes (1024, rows unpadded) of an 'ICON' resource.
//
//   make_icon <output file>
#include <GraphicsDefs.h>

#include <math.h>
#include <stdio.h>

namespace {

const int kSize = 32;

struct Canvas {
	rgb_color pixels[kSize][kSize];
	bool set[kSize][kSize] = {};

	void Put(int x, int y, rgb_color color)
	{
		if (x < 0 || y < 0 || x >= kSize || y >= kSize)
			return;
		pixels[y][x] = color;
		set[y][x] = true;
	}

	void Fill(int left, int top, int right, int bottom, rgb_color color)
	{
		for (int y = top; y <= bottom; y++)
			for (int x = left; x <= right; x++)
				Put(x, y, color);
	}

	void Frame(int left, int top, int right, int bottom, rgb_color color)
	{
		Fill(left, top, right, top, color);
		Fill(left, bottom, right, bottom, color);
		Fill(left, top, left, bottom, color);
		Fill(right, top, right, bottom, color);
	}

	// A filled ellipse tilted like a note head, with an outline.
	void NoteHead(double cx, double cy, double rx, double ry, rgb_color fill, rgb_color edge)
	{
		const double tilt = -0.45;
		for (int y = 0; y < kSize; y++) {
			for (int x = 0; x < kSize; x++) {
				double dx = x + 0.5 - cx;
				double dy = y + 0.5 - cy;
				double u = dx * cos(tilt) + dy * sin(tilt);
				double v = -dx * sin(tilt) + dy * cos(tilt);
				double d = (u * u) / (rx * rx) + (v * v) / (ry * ry);
				if (d <= 1.0)
					Put(x, y, d > 0.55 ? edge : fill);
			}
		}
	}
};

rgb_color rgb(uint8 r, uint8 g, uint8 b)
{
	return rgb_color{r, g, b, 255};
}

}

int main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: make_icon <output file>\n");
		return 2;
	}

	const rgb_color paper = rgb(252, 250, 238);
	const rgb_color paperEdge = rgb(72, 72, 80);
	const rgb_color shadow = rgb(152, 152, 152);
	const rgb_color line = rgb(128, 128, 144);
	const rgb_color current = rgb(224, 72, 32);
	const rgb_color note = rgb(32, 64, 184);
	const rgb_color noteEdge = rgb(16, 24, 96);

	Canvas canvas;

	// The sheet, with a shadow to the right and below.
	canvas.Fill(4, 3, 22, 30, shadow);
	canvas.Fill(2, 1, 20, 28, paper);
	canvas.Frame(2, 1, 20, 28, paperEdge);

	// Lines of lyrics; the current one is highlighted.
	const int rows[] = {5, 9, 13, 17, 21, 25};
	const int ends[] = {16, 18, 17, 15, 18, 12};
	for (int i = 0; i < 6; i++) {
		if (i == 2)
			canvas.Fill(5, rows[i] - 1, ends[i], rows[i], current);
		else
			canvas.Fill(5, rows[i], ends[i], rows[i], line);
	}

	// An eighth note over the sheet's right edge.
	canvas.Fill(25, 8, 26, 24, noteEdge);
	for (int i = 0; i < 6; i++)
		canvas.Fill(27 + i / 2, 9 + i, 27 + i / 2 + 1, 10 + i, noteEdge);
	canvas.NoteHead(22.5, 25.0, 4.6, 3.2, note, noteEdge);

	uint8 bytes[kSize * kSize];
	for (int y = 0; y < kSize; y++) {
		for (int x = 0; x < kSize; x++) {
			bytes[y * kSize + x] = canvas.set[y][x] ? index_for_color(canvas.pixels[y][x])
			                                        : B_TRANSPARENT_MAGIC_CMAP8;
		}
	}

	FILE* out = fopen(argv[1], "wb");
	if (out == nullptr || fwrite(bytes, 1, sizeof(bytes), out) != sizeof(bytes)) {
		perror(argv[1]);
		if (out != nullptr)
			fclose(out);
		return 1;
	}
	return fclose(out) == 0 ? 0 : 1;
}
