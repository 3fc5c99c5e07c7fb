// Source documents in every encoding the tool accepts carry the same school: they
// export to the same tables, byte for byte, and import to result documents that
// keep the encoding (byte order mark and declaration included), hold the same
// content, characters the encoding lacks included, and pass xmllint.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <sstream>

#include "export/export_run.h"
#include "import/import_run.h"
#include "tables/table_set.h"
#include "tests/interop/interop_support.h"
#include "xml/document.h"

namespace tvb {
namespace {

using testing::TempDir;

struct EncodingCase {
  std::string_view label;
  std::string_view declared;  // the name in the XML declaration
  xml::Encoding encoding;
  std::function<std::string(std::string_view utf8)> encode;
  std::function<std::string(std::string_view bytes)> decode;
};

const std::vector<EncodingCase>& Cases() {
  using testing::DecodeEightBit, testing::DecodeUtf16, testing::EncodeEightBit,
      testing::EncodeUtf16;
  static const std::vector<EncodingCase> cases = {
      {"UTF-8", "UTF-8", xml::Encoding::kUtf8, [](auto t) { return std::string(t); },
       [](auto b) { return std::string(b); }},
      {"UTF-8 BOM", "UTF-8", xml::Encoding::kUtf8,
       [](auto t) { return "\xEF\xBB\xBF" + std::string(t); },
       [](auto b) { return std::string(b.substr(b.starts_with("\xEF\xBB\xBF") ? 3 : 0)); }},
      {"UTF-16LE", "UTF-16", xml::Encoding::kUtf16LE, [](auto t) { return EncodeUtf16(t, true); },
       [](auto b) { return DecodeUtf16(b, true); }},
      {"UTF-16BE", "UTF-16", xml::Encoding::kUtf16BE, [](auto t) { return EncodeUtf16(t, false); },
       [](auto b) { return DecodeUtf16(b, false); }},
      {"ISO-8859-1", "ISO-8859-1", xml::Encoding::kLatin1,
       [](auto t) { return EncodeEightBit(t, false); },
       [](auto b) { return DecodeEightBit(b, false); }},
      {"Windows-1252", "windows-1252", xml::Encoding::kWindows1252,
       [](auto t) { return EncodeEightBit(t, true); },
       [](auto b) { return DecodeEightBit(b, true); }},
  };
  return cases;
}

std::string Declaration(std::string_view name) {
  return "<?xml version=\"1.0\" encoding=\"" + std::string(name) + "\"?>";
}

// The content of a result document (UTF-8 text) as pugixml reads it, without the
// declaration: elements, attributes, text, comments, character references resolved.
std::string Content(const std::string& utf8) {
  pugi::xml_document doc;
  const auto parsed = doc.load_buffer(
      utf8.data(), utf8.size(), pugi::parse_default | pugi::parse_comments, pugi::encoding_utf8);
  if (!parsed) throw std::runtime_error(std::string("not well-formed: ") + parsed.description());
  std::ostringstream out;
  doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return out.str();
}

// A table file without the date of its last update (bytes 1 to 3).
std::string Undated(std::string bytes) {
  if (bytes.size() > 4) bytes.replace(1, 3, 3, '\0');
  return bytes;
}

// One school carried both ways from a document in one encoding.
struct Carried {
  std::filesystem::path source;
  std::map<std::string, std::string> tables;  // undated bytes by table name
  std::filesystem::path result;
  std::string result_bytes;
};

Carried Carry(const std::filesystem::path& dir, const EncodingCase& c) {
  std::string source = testing::RichSample();
  testing::ReplaceOnce(source, Declaration("UTF-8"), Declaration(c.declared));
  const auto document = dir / "colegio.xml";
  const auto tables = dir / "VTEMP";
  std::filesystem::create_directories(tables);
  testing::WriteFile(document, c.encode(source));

  Carried carried;
  carried.source = document;
  ExportarDocumento(RealFileSystem(), document, tables);
  for (const TableDef* def : tables::kExportTables) {
    const std::string name(def->name);
    carried.tables[name] = Undated(testing::ReadFile(tables / (name + ".DBF")));
  }
  std::filesystem::copy_file(testing::SamplesDir() / "SOLUC.DBF", tables / "SOLUC.DBF");
  carried.result = ImportarDocumento(RealFileSystem(), document, tables).result;
  carried.result_bytes = testing::ReadFile(carried.result);
  return carried;
}

class EncodingsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    work_ = std::make_unique<TempDir>();
    for (const EncodingCase& c : Cases()) {
      carried_.push_back(Carry(*work_ / std::string(c.label), c));
    }
  }
  static void TearDownTestSuite() {
    carried_.clear();
    work_.reset();
  }
  static inline std::unique_ptr<TempDir> work_;
  static inline std::vector<Carried> carried_;  // in the order of Cases()
};

TEST_F(EncodingsTest, EveryEncodingExportsTheSameTables) {
  ASSERT_EQ(carried_.size(), Cases().size());
  for (std::size_t i = 0; i < Cases().size(); ++i) {
    EXPECT_EQ(xml::Document::Load(RealFileSystem(), carried_[i].source).encoding(),
              Cases()[i].encoding)
        << Cases()[i].label;
  }
  for (std::size_t i = 1; i < Cases().size(); ++i) {
    SCOPED_TRACE(Cases()[i].label);
    for (const auto& [name, bytes] : carried_[0].tables) {
      EXPECT_TRUE(carried_[i].tables.at(name) == bytes) << name << " differs";
    }
  }
  EXPECT_NE(carried_[0].tables.at("ASIGNOMT").find(Utf8ToAnsi(testing::kRichSubject)),
            std::string::npos);
}

TEST_F(EncodingsTest, ResultsKeepTheEncodingAndTheContent) {
  ASSERT_EQ(carried_.size(), Cases().size());
  const std::string reference = Content(carried_[0].result_bytes);
  EXPECT_NE(reference.find("<entrada dato=\"NOTA\">" + std::string(testing::kRichInput)),
            std::string::npos);
  EXPECT_NE(reference.find("<SALIDAS><ERROR"), std::string::npos);
  for (std::size_t i = 0; i < Cases().size(); ++i) {
    const EncodingCase& c = Cases()[i];
    SCOPED_TRACE(c.label);
    const std::string& bytes = carried_[i].result_bytes;
    EXPECT_TRUE(bytes.starts_with(c.encode(Declaration(c.declared))));
    EXPECT_EQ(xml::Document::Load(RealFileSystem(), carried_[i].result).encoding(), c.encoding);
    EXPECT_EQ(Content(c.decode(bytes)), reference);
  }
}

TEST_F(EncodingsTest, ResultsPassXmllint) {
  if (!testing::Present("xmllint --version")) GTEST_SKIP() << "xmllint (libxml2-utils) is absent";
  for (const Carried& carried : carried_) {
    const auto check = testing::Run("xmllint --noout " + testing::Quoted(carried.result) + " 2>&1");
    EXPECT_EQ(check.status, 0) << carried.result << "\n" << check.output;
  }
}

}  // namespace
}  // namespace tvb
