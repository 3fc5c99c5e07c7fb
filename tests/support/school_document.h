// Builds small source documents for tests: named lists of records of values,
// written as the management system writes them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tvb::testing {

// One value node: its "dato" name (empty: no attribute) and its text (raw XML).
struct Value {
  std::string dato;
  std::string text;
};
using Record = std::vector<Value>;

// Values by position only; "dato" names are filled in as V0, V1, ...
inline Record Values(std::vector<std::string> texts) {
  Record record;
  for (std::size_t i = 0; i < texts.size(); ++i) record.push_back({"V" + std::to_string(i), texts[i]});
  return record;
}

class SchoolDocument {
 public:
  SchoolDocument& List(std::string seq, std::vector<Record> records) {
    lists_.emplace_back(std::move(seq), std::move(records));
    return *this;
  }
  std::string Xml() const {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO>\n<SALIDAS>\n";
    for (const auto& [seq, records] : lists_) {
      xml += "<listasal seq=\"" + seq + "\">\n";
      for (const Record& record : records) {
        xml += "<listasal>";
        for (const Value& v : record) {
          xml += v.dato.empty() ? "<salida>" : "<salida dato=\"" + v.dato + "\">";
          xml += v.text + "</salida>";
        }
        xml += "</listasal>\n";
      }
      xml += "</listasal>\n";
    }
    return xml + "</SALIDAS>\n</SERVICIO>\n";
  }

 private:
  std::vector<std::pair<std::string, std::vector<Record>>> lists_;
};

}  // namespace tvb::testing
