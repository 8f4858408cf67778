// The four kinds of files that the crash-safety test has saved and killed:
// two versions of each, written through the displayer's own save functions
// and read back through the readers the displayer uses.
#ifndef CRASHSAFETY_SAVE_VERSIONS_H
#define CRASHSAFETY_SAVE_VERSIONS_H

#include <memory>
#include <ostream>
#include <string>

class TIAPItemAccKeyFormat;

namespace savetest {

enum class Kind {
	kSettings,   // the displayer's settings, shared with the editor
	kWindow,     // the lyrics window's state (its frame)
	kPreset,     // an appearance preset
	kCommon      // a preference shared by the family's programs
};

bool parse_kind(const char* name, Kind* kind);
const char* kind_name(Kind kind);
// For the test's messages.
inline std::ostream& operator<<(std::ostream& out, Kind kind)
{
	return out << kind_name(kind);
}

// Where the file of `kind` lives in the settings folder of XDG_CONFIG_HOME.
std::string target_path(Kind kind);
// Where "refs" keeps a copy of version `version` (outside the folders the
// displayer writes).
std::string reference_path(int version);

bool copy_bytes(const std::string& from, const std::string& to);

// The text that tells the versions apart: `version` 0 or 1, some hundred
// kilobytes, of different lengths, so that a write takes many pages and a
// mixture of the two shows.
const std::string& big_text(int version);

// Writes the versions, in a process of its own.
class Saver {
public:
	explicit Saver(Kind kind);
	~Saver();
	bool Init();
	bool Save(int version);
	const std::string& TargetPath() const { return fTarget; }

private:
	Kind fKind;
	std::string fTarget;
	std::unique_ptr<TIAPItemAccKeyFormat> fItem;
};

// Reads the file of `kind` as the displayer does: the version it holds (0
// or 1), or -1 with the reason in `error` when the reader refuses it or
// finds something else.
int read_version(Kind kind, std::string* error);

}

#endif
