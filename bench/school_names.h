// Names and codes of the synthetic schools. Codes come in families that share
// their first four characters, as real ones do (MATE1, MATE2 ...; AULA 1, AULA 2
// ...), so that the export's code shortening rule has clashes to resolve; names
// carry accents. Text is UTF-8, as the source document holds it.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tvb::bench {

// A family of codes: its four-character prefix and the name its members share.
struct Family {
  std::string_view prefix;
  std::string_view name;
};

extern const std::span<const Family> kSubjectFamilies;
extern const std::span<const Family> kTaskFamilies;
extern const std::span<const Family> kRoomFamilies;
extern const std::span<const Family> kLevelFamilies;  // prefixes of three characters
extern const std::span<const std::string_view> kFirstNames;
extern const std::span<const std::string_view> kSurnames;
extern const std::span<const std::string_view> kPeriodNames;

// Prefix of family number `j` of `pool`: the pool's own prefixes first, then
// made-up ones of three letters followed by `tag`, whose first two letters change
// fastest, so that the families of a large school stay apart.
std::string FamilyPrefix(std::span<const Family> pool, std::size_t j, char tag);
// Name of family number `j`: the pool's names, numbered once the pool is used up.
std::string FamilyName(std::span<const Family> pool, std::size_t j);

// Initials of a first name, in capitals ("José Luis" gives "JL", "Íñigo" "Í").
std::string Initials(std::string_view first_name);
// A surname in capitals ("Núñez" gives "NÚÑEZ").
std::string Capitals(std::string_view surname);

}  // namespace tvb::bench
