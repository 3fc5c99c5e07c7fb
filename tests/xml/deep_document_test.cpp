// A deeply nested document saves to a file that grows linearly with it: the
// indentation stops deepening, the content is kept whole. (A 2 MB document nested
// 300,000 levels deep once made a result file of about 90 GB.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/xml/xml_files.h"
#include "xml/document.h"
#include "xml/markup_writer.h"
#include "xml/source_list.h"
#include "xml/streamed_save.h"

namespace tvb::xml {
namespace {

using testing::TempDir;

TEST(DeepDocument, SavesLinearlyAndKeepsTheContent) {
  constexpr std::size_t kDepth = 5000;
  std::string nested;
  for (std::size_t i = 0; i < kDepth; ++i) nested += "<x>";
  nested += "fondo";
  for (std::size_t i = 0; i < kDepth; ++i) nested += "</x>";
  TempDir dir;
  Document doc = testing::LoadBytes(
      dir, "<SERVICIO><ENTRADAS>" + nested +
               "</ENTRADAS><SALIDAS><listasal seq=\"AULAS\"/></SALIDAS></SERVICIO>");
  {
    StreamedSave save(RealFileSystem(), doc, doc.ReplaceRootChild("SALIDAS"), dir / "r.xml");
    save.Open("listasal", "seq", "AULAS");
    save.Open("listasal", "", "");
    save.Leaf("salida", "dato", "N", "1");
    save.Commit();
  }
  // Each nested element takes two lines of at most kMaxIndent tabs and its tag.
  const std::size_t bound = kDepth * 2 * (MarkupWriter::kMaxIndent + 8) + 1000;
  EXPECT_LT(std::filesystem::file_size(dir / "r.xml"), bound);

  const std::string saved = testing::ReadFile(dir / "r.xml");
  EXPECT_NE(saved.find("<x>fondo</x>"), std::string::npos);
  EXPECT_NE(saved.find('\n' + std::string(MarkupWriter::kMaxIndent, '\t') + "<x>"),
            std::string::npos);
  const Document again = Document::Load(RealFileSystem(), dir / "r.xml");
  EXPECT_EQ(again.List("AULAS")[0].Value(0), "1");
}

}  // namespace
}  // namespace tvb::xml
