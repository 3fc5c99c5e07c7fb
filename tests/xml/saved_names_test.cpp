// Every result document the tool writes can be loaded again. A source holding a
// character that XML forbids is refused when loaded (once, a name with U+FFFF was
// saved as "?", which broke the result); a name holding a C1 control read from
// one of the five bytes that Windows-1252 leaves undefined keeps that byte.
#include <gtest/gtest.h>

#include <string>

#include "tests/xml/xml_files.h"
#include "text/error.h"
#include "xml/document.h"
#include "xml/streamed_save.h"

namespace tvb::xml {
namespace {

using testing::LoadBytes;
using testing::TempDir;
using testing::Utf16Bytes;

struct ForbiddenCase {
  const char* label;
  std::string bytes;
  std::string reason_and_place;
};

TEST(SavedNames, CharactersXmlForbidsAreRefusedOnLoading) {
  std::u16string fuzzed = u"<SIO \uFFFF=\"\"><SALIDAS></SALIDAS></SIO>";  // as found
  const ForbiddenCase cases[] = {
      {"UTF-16 name with U+FFFF", Utf16Bytes(fuzzed, false),
       "carácter no permitido en XML (U+FFFF) (línea 1, columna 6)"},
      {"UTF-8 control code in text", "<a>\n x\x01</a>",
       "carácter no permitido en XML (U+0001) (línea 2, columna 3)"},
      {"UTF-8 U+FFFE in a name", "<a\xEF\xBF\xBE/>",
       "carácter no permitido en XML (U+FFFE) (línea 1, columna 3)"},
      {"ISO-8859-1 control code", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\x1F</a>",
       "carácter no permitido en XML (U+001F) (línea 1, columna 47)"},
      {"Windows-1252 vertical tab", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a\x0B/>",
       "carácter no permitido en XML (U+000B) (línea 1, columna 48)"},
  };
  for (const ForbiddenCase& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    try {
      LoadBytes(dir, c.bytes);
      ADD_FAILURE() << "loaded";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason_and_place), std::string::npos) << e.what();
    }
  }
}

TEST(SavedNames, AWindows1252NameKeepsItsUndefinedByte) {
  TempDir dir;
  Document doc = LoadBytes(dir,
                           "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                           "<S a\x81=\"\x81\"><e\x9D/><?p\x8F x?><SALIDAS/></S>");
  {
    StreamedSave save(RealFileSystem(), doc, doc.ReplaceRootChild("SALIDAS"), dir / "r.xml");
    save.Commit();
  }
  const std::string saved = testing::ReadFile(dir / "r.xml");
  for (const std::string part : {"<S a\x81=\"&#129;\">", "<e\x9D />", "<?p\x8F x?>"}) {
    EXPECT_NE(saved.find(part), std::string::npos) << part << " in " << saved;
  }
  const Document again = Document::Load(RealFileSystem(), dir / "r.xml");
  EXPECT_EQ(again.encoding(), Encoding::kWindows1252);
}

}  // namespace
}  // namespace tvb::xml
