// The solved timetable SOLUC of a synthetic school, as the timetabling program
// would leave it after an export: made from the codes that the export wrote into
// the tables (teachers from PROFT, subject and group pairs from ASIGT, rooms from
// AULAT, tasks from ASIGNOMT, periods from DIASHORAST), so that most slots find
// their rows in the import. A few rows are not slots (day 0), a few name codes
// that match nothing, and a few belong to no teacher. Rows come slot by slot, the
// teachers interleaved, and the same tables and seed give the same file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/file_system.h"

namespace tvb::bench {

// The bytes of SOLUC.DBF with `slots` rows for the export tables in `tables`.
std::string SolvedTimetable(FileSystem& fs, const Path& tables, std::size_t slots,
                            std::uint64_t seed);

}  // namespace tvb::bench
