// The profile file "Vestrano.ini", through which the tool hands its result code
// to the timetabling program.
//
// Setting a value edits the file's bytes in place: only the value of the key
// changes, or the key or its section is added; comments, order, letter case,
// blank lines and line endings stay exactly as they were. Sections and keys are
// found without regard to letter case, the first of each counting, as Windows
// reads profile files. Added lines take the file's own line ending (CR LF for a
// new file).
#pragma once

#include <string>
#include <string_view>

#include "files/file_system.h"

namespace tvb::app {

// `contents` with the value of `key` in `section` set to `value`.
std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value);

// Sets the value in the file at `path`, creating the file when missing. The file
// is replaced whole through a temporary file and a rename, so a failure leaves it
// as it was. Throws Error naming the file.
void WriteIniValue(FileSystem& fs, const Path& path, std::string_view section, std::string_view key,
                   std::string_view value);

// The profile file named `name` in `dir`, found without regard to letter case as
// the timetabling program finds it; `dir / name` when there is none yet.
Path ProfileFileIn(FileSystem& fs, const Path& dir, std::string_view name);

}  // namespace tvb::app
