// C-string helpers of the INI reader and writer.
//
// Positions count from 1. Destination buffers belong to the caller and must
// be large enough for the result; a destination may be the source itself.
#ifndef LANG_INI_STRINGS_H
#define LANG_INI_STRINGS_H

// White space here is the ASCII space, tab, LF, vertical tab, form feed and
// CR only; bytes of 0x80 and above are never white space, so UTF-8 and
// Shift-JIS text is never cut.
bool is_ini_space(char c);

// `src` without its leading white space; returns the length copied.
int trimleft(char* dst, const char* src);
// `src` without its trailing white space; returns the new length.
int trimright(char* dst, const char* src);
// `src` without white space at either end; returns the new length.
int trim(char* dst, const char* src);

// `length` characters of `src` from position `start`. A length of 0, or one
// that runs past the end, copies to the end; a start beyond the end or a
// negative length gives an empty text. Returns the number copied.
int mid(char* dst, const char* src, int start, int length);

// The position of the first `find` in `text` at or after `start`; 0 when
// there is none (or `find` is empty).
int instr(const char* text, const char* find, int start);

// Replaces the first `find` at or after `start` in `src` by `replacement`,
// the result going to `dst`. Returns the length of `find`, or 0 (and leaves
// `dst` alone) when there is no such occurrence.
int repstr(char* dst, const char* src, const char* find, const char* replacement,
           int start);

// `path` up to and including its last "." (anywhere in the path, folders
// included), then `extension`; without a "." `path` + "." + `extension`.
// Returns `dst`.
char* reext(const char* path, const char* extension, char* dst);

#endif
