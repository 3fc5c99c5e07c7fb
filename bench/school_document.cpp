#include "bench/school_document.h"

#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/random.h"
#include "bench/school_names.h"

namespace tvb::bench {
namespace {

constexpr std::uint64_t kSeed = 20260901;
constexpr std::size_t kSubjectFamilySize = 20;  // MATE1 .. MATE20
constexpr std::size_t kTaskFamilySize = 10;
constexpr std::size_t kRoomFamilySize = 20;
constexpr std::size_t kYearsPerLevel = 4;
constexpr std::size_t kGroupsPerCourse = 4;
constexpr std::size_t kPeriodsPerDay = 12;

struct Value {
  std::string_view dato;
  std::string text;
};

// "C00012": a key of the management system.
std::string Key(char letter, std::size_t n) {
  const std::string digits = std::to_string(n);
  return letter + std::string(digits.size() < 5 ? 5 - digits.size() : 0, '0') + digits;
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
}

// One list of the document, written as its records come.
class ListWriter {
 public:
  ListWriter(std::string& out, std::string_view seq) : out_(out) {
    out_ += "    <listasal seq=\"";
    out_ += seq;
    out_ += "\">\n";
  }
  ListWriter(const ListWriter&) = delete;
  ListWriter& operator=(const ListWriter&) = delete;
  ~ListWriter() { out_ += "    </listasal>\n"; }

  void Record(const std::vector<Value>& values) {
    out_ += "      <listasal>\n";
    for (const Value& value : values) {
      out_ += "        <salida dato=\"";
      out_ += value.dato;
      out_ += "\">";
      AppendEscaped(out_, value.text);
      out_ += "</salida>\n";
    }
    out_ += "      </listasal>\n";
  }

 private:
  std::string& out_;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string CourseKey(std::size_t course) { return Key('C', course + 1); }

void WriteSubjects(std::string& out, const SchoolSize& size, Random& random) {
  static constexpr std::string_view kMinutes[] = {"60", "90", "120", "150", "180", "240", "300"};
  ListWriter list(out, "MATERIAS");
  std::string previous_code;
  for (std::size_t i = 0; i < size.subjects; ++i) {
    const std::size_t family = i / kSubjectFamilySize;
    const std::string member = std::to_string(i % kSubjectFamilySize + 1);
    std::string code = FamilyPrefix(kSubjectFamilies, family, 'S') + member;
    // Now and then a code given twice, in other letter case: the export skips it.
    if (random.Chance(1) && !previous_code.empty()) code = Lower(previous_code);
    previous_code = code;
    const bool no_minutes = random.Chance(2);
    list.Record({{"X_MATERIAOMC", Key('M', i + 1)},
                 {"D_MATERIAOMC", FamilyName(kSubjectFamilies, family) + " " + member},
                 {"C_MATERIAOMC", code},
                 {"X_OFERTAMATRIG", CourseKey(i % size.courses)},
                 {"N_MINSEMANALES",
                  no_minutes ? "" : std::string(kMinutes[random.Below(std::size(kMinutes))])}});
  }
}

void WriteTasks(std::string& out, const SchoolSize& size) {
  ListWriter list(out, "TAREAS");
  for (std::size_t i = 0; i < size.tasks; ++i) {
    const std::size_t family = i / kTaskFamilySize;
    const std::string member = std::to_string(i % kTaskFamilySize + 1);
    list.Record({{"X_TAREA", Key('T', i + 1)},
                 {"D_TAREA", FamilyName(kTaskFamilies, family) + " " + member},
                 {"C_TAREA", FamilyPrefix(kTaskFamilies, family, 'T') + member}});
  }
}

void WriteTeachers(std::string& out, const SchoolSize& size, Random& random) {
  ListWriter list(out, "PROFESORES");
  for (std::size_t i = 0; i < size.teachers; ++i) {
    const std::string_view first = kFirstNames[random.Below(kFirstNames.size())];
    const std::string_view last = kSurnames[random.Below(kSurnames.size())];
    const std::string_view second = kSurnames[random.Below(kSurnames.size())];
    list.Record(
        {{"X_EMPLEADO", Key('E', i + 1)},
         {"F_TOMAPOS", std::string("01/09/").append(std::to_string(2000 + random.Below(26)))},
         {"D_NOMBRE", std::string(first) + " " + std::string(last) + " " + std::string(second)},
         {"C_ABREV", Initials(first) + Capitals(last)}});
  }
}

void WriteRooms(std::string& out, const SchoolSize& size, Random& random) {
  ListWriter list(out, "AULAS");
  for (std::size_t i = 0; i < size.rooms; ++i) {
    const std::size_t family = i / kRoomFamilySize;
    const std::string member = std::to_string(i % kRoomFamilySize + 1);
    // A few rooms lack an abbreviation: the export codes them from their key.
    const bool no_abbreviation = random.Chance(3);
    list.Record({{"X_DEPENDENCIA", Key('R', i + 1)},
                 {"D_DEPENDENCIA", FamilyName(kRoomFamilies, family) + " " + member},
                 {"C_ABREV",
                  no_abbreviation ? "" : FamilyPrefix(kRoomFamilies, family, 'R') + " " + member}});
  }
}

// The course's year (1 to 4) and its level, which gives the first characters of
// its groups' names ("1ESO A").
std::pair<std::string, std::string> YearAndLevel(std::size_t course) {
  const std::string level = FamilyPrefix(kLevelFamilies, course / kYearsPerLevel, 'L').substr(0, 3);
  return {std::to_string(course % kYearsPerLevel + 1), level};
}

void WriteCourses(std::string& out, const SchoolSize& size, Random& random) {
  ListWriter list(out, "CURSOS");
  for (std::size_t c = 0; c < size.courses; ++c) {
    const auto [year, level] = YearAndLevel(c);
    list.Record(
        {{"X_OFERTAMATRIG", CourseKey(c)},
         {"D_OFERTAMATRIG", year + "º de " + FamilyName(kLevelFamilies, c / kYearsPerLevel)},
         {"C_ETAPA", level},
         {"C_NIVEL", random.Chance(2) ? "" : level},
         {"N_CURSO", year}});
  }
}

void WriteGroups(std::string& out, const SchoolSize& size) {
  ListWriter list(out, "GRUPOS");
  for (std::size_t g = 0; g < size.groups; ++g) {
    const std::size_t course = g / kGroupsPerCourse;
    const auto [year, level] = YearAndLevel(course);
    const char letter = static_cast<char>('A' + g % kGroupsPerCourse);
    list.Record({{"X_UNIDAD", Key('G', g + 1)},
                 {"T_NOMBRE", year + level + " " + letter},
                 {"X_OFERTAMATRIG", CourseKey(course)}});
  }
}

// "8:00", "14:35": hours without a leading zero, as the source often has them.
std::string Time(std::size_t minutes) {
  return std::to_string(minutes / 60) + (minutes % 60 < 10 ? ":0" : ":") +
         std::to_string(minutes % 60);
}

void WritePeriods(std::string& out, const SchoolSize& size) {
  ListWriter list(out, "INTERVALOS");
  for (std::size_t p = 0; p < size.periods; ++p) {
    const std::size_t order = p % kPeriodsPerDay;
    const std::size_t start = 8 * 60 + 55 * order;
    std::string name(kPeriodNames[order]);
    if (p >= kPeriodsPerDay) name.append(" ").append(std::to_string(p / kPeriodsPerDay + 1));
    list.Record({{"CODIGO_BRIVO", Key('I', p + 1)},
                 {"NOMBRE", name},
                 {"INICIO", Time(start)},
                 {"FIN", Time(start + 55)},
                 {"ORDEN", std::to_string(order + 1)}});
  }
}

}  // namespace

SchoolSize SchoolSize::AtScale(std::size_t k) {
  return {200 * k, 600 * k, 60 * k, 120 * k, 20 * k, 80 * k, 12 * k, 6000 * k};
}

std::string SchoolDocument(std::size_t k) {
  const SchoolSize size = SchoolSize::AtScale(k);
  std::string out;
  out.reserve(320'000 * k);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out.append("<!-- Colegio sintético de escala ").append(std::to_string(k)).append(" -->\n");
  out += "<SERVICIO>\n  <ENTRADAS>\n";
  out += "    <entrada dato=\"X_CENTRO\">41000000</entrada>\n";
  out += "    <entrada dato=\"C_ANNO\">2026</entrada>\n";
  out += "  </ENTRADAS>\n  <SALIDAS>\n";
  Random random(kSeed + k);
  WriteSubjects(out, size, random);
  WriteTasks(out, size);
  WriteTeachers(out, size, random);
  WriteRooms(out, size, random);
  WriteCourses(out, size, random);
  WriteGroups(out, size);
  WritePeriods(out, size);
  out += "  </SALIDAS>\n</SERVICIO>\n";
  return out;
}

}  // namespace tvb::bench
