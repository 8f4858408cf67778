// How one source colour meets one destination pixel in each drawing mode.
// Shared by the painter's shape, text and bitmap paths so that all three
// agree on what a mode does.
#ifndef INTERFACE_PIXEL_BLEND_H
#define INTERFACE_PIXEL_BLEND_H

#include <GraphicsDefs.h>

namespace BPrivate {

// x / 255, rounded, for x up to 255 * 255.
inline uint32 div255(uint32 x)
{
	x += 128;
	return (x + (x >> 8)) >> 8;
}

inline uint8 lerp8(uint32 from, uint32 to, uint32 t)
{
	return (uint8)div255(from * (255 - t) + to * t);
}

// Whether a mode draws the low colour of a pattern at all. The others treat
// the pattern's low-colour pixels as holes.
inline bool mode_draws_low_color(drawing_mode mode)
{
	switch (mode) {
		case B_OP_OVER:
		case B_OP_ERASE:
		case B_OP_INVERT:
		case B_OP_SELECT:
			return false;
		default:
			return true;
	}
}

struct Blender {
	drawing_mode mode;
	source_alpha sourceAlpha;
	alpha_function alphaFunction;
	rgb_color high;
	rgb_color low;
	bool hasAlpha;   // the destination keeps alpha (B_RGBA32)

	// d: the destination pixel, bytes B, G, R, A. source: the colour to
	// apply; draw: false where the source is a hole (a transparent bitmap
	// pixel, or a pattern's low colour in a mode that skips it); coverage:
	// how much of the pixel the shape covers, 0 to 255.
	inline void Blend(uint8* d, rgb_color source, bool draw, uint32 coverage) const
	{
		if (coverage == 0 || (!draw && mode != B_OP_COPY))
			return;
		uint32 r = source.red, g = source.green, b = source.blue;
		uint32 a = source.alpha;
		switch (mode) {
			case B_OP_COPY:
			case B_OP_OVER:
				break;
			case B_OP_ERASE:
				r = low.red; g = low.green; b = low.blue; a = low.alpha;
				break;
			case B_OP_INVERT:
				r = 255 - d[2]; g = 255 - d[1]; b = 255 - d[0]; a = d[3];
				break;
			case B_OP_SELECT:
				if (d[2] == high.red && d[1] == high.green && d[0] == high.blue) {
					r = low.red; g = low.green; b = low.blue;
				} else if (d[2] == low.red && d[1] == low.green && d[0] == low.blue) {
					r = high.red; g = high.green; b = high.blue;
				} else
					return;
				a = d[3];
				break;
			case B_OP_ADD:
				r = min_c(255u, d[2] + r); g = min_c(255u, d[1] + g);
				b = min_c(255u, d[0] + b); a = d[3];
				break;
			case B_OP_SUBTRACT:
				r = d[2] > r ? d[2] - r : 0; g = d[1] > g ? d[1] - g : 0;
				b = d[0] > b ? d[0] - b : 0; a = d[3];
				break;
			case B_OP_BLEND:
				r = (d[2] + r + 1) / 2; g = (d[1] + g + 1) / 2;
				b = (d[0] + b + 1) / 2; a = d[3];
				break;
			case B_OP_MIN:
				r = min_c((uint32)d[2], r); g = min_c((uint32)d[1], g);
				b = min_c((uint32)d[0], b); a = d[3];
				break;
			case B_OP_MAX:
				r = max_c((uint32)d[2], r); g = max_c((uint32)d[1], g);
				b = max_c((uint32)d[0], b); a = d[3];
				break;
			case B_OP_ALPHA:
				_BlendAlpha(d, source, coverage);
				return;
		}
		if (coverage >= 255) {
			d[0] = (uint8)b; d[1] = (uint8)g; d[2] = (uint8)r;
			d[3] = hasAlpha ? (uint8)a : 255;
		} else {
			d[0] = lerp8(d[0], b, coverage);
			d[1] = lerp8(d[1], g, coverage);
			d[2] = lerp8(d[2], r, coverage);
			d[3] = hasAlpha ? lerp8(d[3], a, coverage) : 255;
		}
	}

	inline void _BlendAlpha(uint8* d, rgb_color source, uint32 coverage) const
	{
		uint32 alpha = sourceAlpha == B_CONSTANT_ALPHA ? high.alpha : source.alpha;
		uint32 weight = div255(alpha * coverage);
		if (weight == 0)
			return;
		if (alphaFunction == B_ALPHA_COMPOSITE && hasAlpha) {
			// Porter-Duff "over" on straight colour: the destination's own
			// alpha takes part and the result's alpha grows.
			uint32 below = div255(d[3] * (255 - weight));
			uint32 total = weight + below;
			if (total == 0)
				return;
			d[0] = (uint8)((source.blue * weight + d[0] * below + total / 2) / total);
			d[1] = (uint8)((source.green * weight + d[1] * below + total / 2) / total);
			d[2] = (uint8)((source.red * weight + d[2] * below + total / 2) / total);
			d[3] = (uint8)total;
			return;
		}
		d[0] = lerp8(d[0], source.blue, weight);
		d[1] = lerp8(d[1], source.green, weight);
		d[2] = lerp8(d[2], source.red, weight);
		if (!hasAlpha)
			d[3] = 255;
	}
};

}

#endif
