// Starting programs for the roster: applications, and the desktop's opener
// for documents and URLs. Programs are started directly (posix_spawn), never
// through a shell, so that no argument is ever interpreted.
//
// The opener is $VERSO_OPENER when set, else xdg-open; in a headless
// session ($VERSO_HEADLESS) without $VERSO_OPENER nothing is opened.
#ifndef PRIVATE_APP_LAUNCHER_H
#define PRIVATE_APP_LAUNCHER_H

#include <OS.h>

#include <string>
#include <vector>

namespace BPrivate {

// Starts `path` with `args` (argv[0] is `path`). Returns the new process's
// id, or B_LAUNCH_FAILED_EXECUTABLE. The process is reaped when it ends.
team_id start_program(const std::string& path, const std::vector<std::string>& args);

// Opens `target` (a path or URL) with the desktop's opener, waiting a
// little for the opener's verdict: B_OK when it succeeded or is still busy,
// B_LAUNCH_FAILED_NO_PREFERRED_APP when it failed or there is none.
status_t open_with_opener(const std::string& target);

// The opener program's path, or "" when there is none.
std::string opener_path();

// Whether `path` is a program that can be started directly.
bool is_executable_file(const std::string& path);

}

#endif
