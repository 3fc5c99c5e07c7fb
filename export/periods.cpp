// The day and period grid: seven rows, days 1 to 7, for every period of the
// INTERVALOS list whose order is 1 to 40, in the order of those numbers.
#include <array>
#include <vector>

#include "export/steps.h"
#include "text/error.h"
#include "text/str_to_int.h"
#include "xml/source_list.h"

namespace tvb {
namespace {

constexpr auto& kGrid = tables::kDiashorast;
constexpr int kPasses = 40;  // the highest period order that is taken

// The values of one INTERVALOS record, found by the names of its value nodes.
struct Period {
  std::size_t record_number = 0;
  std::string key, name, start, end, order;
};

Period ReadPeriod(const xml::Record& record, std::size_t record_number) {
  Period period;
  period.record_number = record_number;
  const std::array<std::pair<const char*, std::string*>, 5> names = {{
      {"CODIGO_BRIVO", &period.key},
      {"NOMBRE", &period.name},
      {"INICIO", &period.start},
      {"FIN", &period.end},
      {"ORDEN", &period.order},
  }};
  for (std::size_t i = 0; i < record.Count(); ++i) {
    const std::optional<std::string> dato = record.Name(i);
    if (!dato) continue;
    for (const auto& [wanted, value] : names) {
      if (*dato == wanted) *value = record.Value(i);  // the last node of a name counts
    }
  }
  return period;
}

// The pass whose number the order spells exactly ("3", never "03" or "3.0"); 0 for none.
int PassOf(const std::string& order) {
  if (order.empty() || order.size() > 2 || order[0] < '1' || order[0] > '9') return 0;
  if (order.size() == 2 && (order[1] < '0' || order[1] > '9')) return 0;
  const int pass = std::stoi(order);
  return pass <= kPasses ? pass : 0;
}

// A time shorter than five characters gets a "0" in front; each row does this
// again on what the row before left, as the grid has always been built.
void Lengthen(std::string& time) {
  if (time.size() < 5) time.insert(0, "0");
}

int32_t TimePart(const std::string& part, const Period& period, const char* what) {
  try {
    return StrToInt(part);
  } catch (const ConversionError& e) {
    throw ConversionError(std::string(e.what()) + " (lista INTERVALOS, registro " +
                          std::to_string(period.record_number) + ", " + what + ")");
  }
}

std::string Substring(const std::string& text, std::size_t from, std::size_t count) {
  return from < text.size() ? text.substr(from, count) : std::string();
}

// Minutes from start to end: hours are the first two characters, minutes the
// characters from the fourth on (at most five).
int64_t Minutes(const std::string& start, const std::string& end, const Period& period) {
  const int64_t end_hours = TimePart(Substring(end, 0, 2), period, "horas de fin");
  const int64_t end_minutes = TimePart(Substring(end, 3, 5), period, "minutos de fin");
  const int64_t start_hours = TimePart(Substring(start, 0, 2), period, "horas de inicio");
  const int64_t start_minutes = TimePart(Substring(start, 3, 5), period, "minutos de inicio");
  return (end_hours * 60 + end_minutes) - (start_hours * 60 + start_minutes);
}

void WriteWeek(const Period& period, int number, TableBuilder& grid) {
  std::string start = period.start;
  std::string end = period.end;
  for (int day = 1; day <= 7; ++day) {
    Lengthen(start);
    Lengthen(end);
    const int64_t minutes = Minutes(start, end, period);
    grid.Append();
    grid.Set(kGrid.Index("DIHO"), std::to_string(day) + std::to_string(number));
    grid.Set(kGrid.Index("DIA"), std::to_string(day));
    grid.Set(kGrid.Index("HORA"), std::to_string(number));
    grid.Set(kGrid.Index("TEXTOHOR"), period.name);
    grid.Set(kGrid.Index("CODDIHO"), period.key);
    grid.Set(kGrid.Index("HORADESDE"), start);
    grid.Set(kGrid.Index("HORAHASTA"), end);
    grid.Set(kGrid.Index("MINUTOS"), std::to_string(minutes));
  }
}

}  // namespace

void ExportarTramos(const xml::Document& doc, ExportTables& out) {
  // Every record is read once and filed under the pass its order names; the
  // passes then run in order, each over its records in document order.
  std::array<std::vector<Period>, kPasses + 1> by_pass;
  const xml::SourceList list = doc.List("INTERVALOS");
  for (std::size_t i = 0; i < list.size(); ++i) {
    Period period = ReadPeriod(list[i], i + 1);
    if (const int pass = PassOf(period.order); pass != 0)
      by_pass[pass].push_back(std::move(period));
  }
  int number = 1;
  for (const auto& periods : by_pass) {
    for (const Period& period : periods) WriteWeek(period, number++, out.diashorast);
  }
}

}  // namespace tvb
