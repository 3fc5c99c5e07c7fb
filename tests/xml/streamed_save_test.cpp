// Saving a document with streamed content: the layout, the encodings and their
// declarations, what the document keeps, and that a save is whole or absent.
#include "xml/streamed_save.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/xml/xml_files.h"
#include "text/ansi.h"
#include "text/error.h"
#include "xml/document.h"
#include "xml/source_list.h"

namespace tvb::xml {
namespace {

using testing::LoadBytes;
using testing::ReadFile;
using testing::TempDir;
using testing::Utf16Bytes;

// Replaces the document's SALIDAS, streams `content` into it and commits.
template <typename Content>
void SaveResult(Document& doc, const Path& target, Content content) {
  StreamedSave save(RealFileSystem(), doc, doc.ReplaceRootChild("SALIDAS"), target);
  content(save);
  save.Commit();
}

std::set<std::string> Entries(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(StreamedSave, WritesTheLayoutAndKeepsTheRestOfTheDocument) {
  TempDir dir;
  Document doc = LoadBytes(dir,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE SERVICIO>\n"
                           "<!-- exportado por Brivo -->\n"
                           "<SERVICIO version=\"2\">\n"
                           "  <CABECERA><centro>IES Ñandú</centro></CABECERA>\n"
                           "  <SALIDAS><listasal seq=\"MATERIAS\"><listasal><salida dato=\"A\">1"
                           "</salida></listasal></listasal></SALIDAS>\n"
                           "  <nota>Hola <b>mundo</b><i/> y <![CDATA[más]]></nota>\n"
                           "  <?brivo fin?>\n"
                           "  <PIE/>\n"
                           "</SERVICIO>\n");
  SaveResult(doc, dir / "resultado.xml", [](StreamedSave& save) {
    save.Open("ERROR", "", "");
    save.Leaf("salida", "dato", "CN_ERROR", "0");
    save.Close();
    save.Open("listasal", "seq", "EMP_1");
    save.Leaf("salida", "dato", "X_EMPLEADO", "A\xF1o");
    save.Leaf("salida", "dato", "F_TOMAPOS", "");
    save.Open("listasal", "seq", "TRAMO_1");
    save.Close();
    save.Close();
  });
  EXPECT_EQ(ReadFile(dir / "resultado.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE SERVICIO>\n"
            "<!-- exportado por Brivo -->\n"
            "<SERVICIO version=\"2\">\n"
            "\t<CABECERA>\n"
            "\t\t<centro>IES Ñandú</centro>\n"
            "\t</CABECERA>\n"
            "\t<nota>Hola <b>mundo</b><i /> y <![CDATA[más]]></nota>\n"
            "\t<?brivo fin?>\n"
            "\t<PIE />\n"
            "\t<SALIDAS>\n"
            "\t\t<ERROR>\n"
            "\t\t\t<salida dato=\"CN_ERROR\">0</salida>\n"
            "\t\t</ERROR>\n"
            "\t\t<listasal seq=\"EMP_1\">\n"
            "\t\t\t<salida dato=\"X_EMPLEADO\">Año</salida>\n"
            "\t\t\t<salida dato=\"F_TOMAPOS\" />\n"
            "\t\t\t<listasal seq=\"TRAMO_1\" />\n"
            "\t\t</listasal>\n"
            "\t</SALIDAS>\n"
            "</SERVICIO>\n");
}

TEST(StreamedSave, WithTwoSalidasTheOlderRemainingOneReceives) {
  TempDir dir;
  Document doc = LoadBytes(dir,
                           "<RAIZ><SALIDAS><viejo/></SALIDAS><OTRO/>"
                           "<SALIDAS><listasal seq=\"X\"/></SALIDAS><FIN/></RAIZ>");
  SaveResult(doc, dir / "resultado.xml", [](StreamedSave& save) {
    save.Open("ERROR", "", "");
    save.Close();
  });
  EXPECT_EQ(ReadFile(dir / "resultado.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<RAIZ>\n"
            "\t<OTRO />\n"
            "\t<SALIDAS>\n"
            "\t\t<listasal seq=\"X\" />\n"
            "\t\t<ERROR />\n"
            "\t</SALIDAS>\n"
            "\t<FIN />\n"
            "\t<SALIDAS />\n"
            "</RAIZ>\n");
}

TEST(StreamedSave, RootWithoutSalidasIsAnErrorNamingTheFile) {
  TempDir dir;
  Document doc = LoadBytes(dir, "<SERVICIO><salidas/></SERVICIO>", "a.xml");
  try {
    doc.ReplaceRootChild("SALIDAS");
    FAIL() << "replaced";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "El elemento raíz «SERVICIO» del documento «" +
                                         (dir / "a.xml").string() +
                                         "» no tiene ningún elemento «SALIDAS»");
  }
}

// A source document in some encoding with content besides SALIDAS.
#define KEPT_DOCUMENT(centro)                     \
  "<!-- c --><SERVICIO><CABECERA><centro>" centro \
  "</centro></CABECERA><SALIDAS><listasal "       \
  "seq=\"MATERIAS\"/></SALIDAS><?pi x?></SERVICIO>"

struct EncodingCase {
  const char* label;
  std::string source;
  Encoding encoding;
  std::string start;               // the file's first bytes: mark and declaration
  std::vector<std::string> holds;  // bytes the file holds somewhere
};

std::string Utf16Text(std::u16string_view text, bool little_endian) {
  return Utf16Bytes(text, little_endian).substr(2);
}

std::vector<EncodingCase> EncodingCases() {
  return {
      {"UTF-8",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" KEPT_DOCUMENT("Ñandú"),
       Encoding::kUtf8,
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
       {"<centro>Ñandú</centro>", "<!-- c -->", "<?pi x?>", "Año € Šœ café", "\xC2\x81"}},
      {"UTF-16 LE",
       Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>" KEPT_DOCUMENT("Ñandú"), true),
       Encoding::kUtf16LE,
       Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n", true),
       {Utf16Text(u"<centro>Ñandú</centro>", true), Utf16Text(u"Año € Šœ café", true)}},
      {"UTF-16 BE",
       Utf16Bytes(u"" KEPT_DOCUMENT("Ñandú"), false),
       Encoding::kUtf16BE,
       Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n", false),
       {Utf16Text(u"<centro>Ñandú</centro>", false), Utf16Text(u"Año € Šœ café", false)}},
      {"ISO-8859-1",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" KEPT_DOCUMENT("\xD1"
                                                                       "and\xFA"),
       Encoding::kLatin1,
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n",
       {"<centro>\xD1"
        "and\xFA</centro>",
        "A\xF1o &#8364; &#352;&#339; caf\xE9", "\x81"}},
      {"Windows-1252",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" KEPT_DOCUMENT("\xD1"
                                                                         "and\xFA"),
       Encoding::kWindows1252,
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n",
       {"<centro>\xD1"
        "and\xFA</centro>",
        "A\xF1o \x80 \x8A\x9C caf\xE9", "&#129;"}},
  };
}

// Values as the tables give them: Windows-1252 text.
const std::vector<std::string> kValues = {
    "A\xF1o \x80 \x8A\x9C caf\xE9", "<&>\"'", "\x81", "a\r\nb", "", "  blancos  "};
const std::string kNameWithBlanks = "a\tb\nc \"d\"";

void StreamMaterias(StreamedSave& save) {
  save.Open("listasal", "seq", "MATERIAS");
  save.Open("listasal", "", "");
  for (const std::string& value : kValues) save.Leaf("salida", "dato", kNameWithBlanks, value);
  save.Close();
  save.Close();
}

TEST(StreamedSave, RoundTripsInTheEncodingLoaded) {
  for (const EncodingCase& c : EncodingCases()) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    Document doc = LoadBytes(dir, c.source);
    SaveResult(doc, dir / "resultado.xml", StreamMaterias);

    const std::string saved = ReadFile(dir / "resultado.xml");
    EXPECT_EQ(saved.substr(0, c.start.size()), c.start);
    for (const std::string& part : c.holds) EXPECT_NE(saved.find(part), std::string::npos) << part;

    const Document reloaded = Document::Load(RealFileSystem(), dir / "resultado.xml");
    EXPECT_EQ(reloaded.encoding(), c.encoding);
    const SourceList materias = reloaded.List("MATERIAS");
    ASSERT_EQ(materias.size(), 1u);
    const Record record = materias[0];
    ASSERT_EQ(record.Count(), kValues.size());
    for (std::size_t i = 0; i < kValues.size(); ++i) {
      EXPECT_EQ(record.Value(i), std::string(Trim(kValues[i])));
      EXPECT_EQ(record.Name(i), kNameWithBlanks);
    }
  }
}

// A leaf made from a shape is byte for byte the leaf written from its parts, in
// every encoding, whether its names and value are plain ASCII or not.
TEST(StreamedSave, ALeafShapeWritesWhatTheLeafWrites) {
  struct Leaf {
    const char* name;
    const char* attribute;
    const char* value;
    const char* text;
  };
  const Leaf leaves[] = {
      {"salida", "dato", "X_ACTIVIDAD", "156"},
      {"salida", "dato", "X_TRAMO", ""},
      {"salida", "dato", "a \"b\"\tc", "x < y & \xF1"},
      {"a\xF1o", "d\xE1to", "\xE9", "texto"},
      {"ERROR", "", "", "  blancos  "},
  };
  for (const EncodingCase& c : EncodingCases()) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    Document by_parts = LoadBytes(dir, c.source);
    SaveResult(by_parts, dir / "partes.xml", [&](StreamedSave& save) {
      for (const Leaf& leaf : leaves) save.Leaf(leaf.name, leaf.attribute, leaf.value, leaf.text);
    });
    Document by_shape = LoadBytes(dir, c.source);
    SaveResult(by_shape, dir / "formas.xml", [&](StreamedSave& save) {
      for (const Leaf& leaf : leaves) {
        save.Leaf(StreamedSave::LeafShape(leaf.name, leaf.attribute, leaf.value), leaf.text);
      }
    });
    EXPECT_EQ(ReadFile(dir / "formas.xml"), ReadFile(dir / "partes.xml"));
  }
}

bool HaveXmllint() { return std::system("command -v xmllint >/dev/null 2>&1") == 0; }

TEST(StreamedSave, SavedFilesAreWellFormedForXmllint) {
  if (!HaveXmllint()) GTEST_SKIP() << "xmllint is not installed (Debian: libxml2-utils)";
  for (const EncodingCase& c : EncodingCases()) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    Document doc = LoadBytes(dir, c.source);
    SaveResult(doc, dir / "resultado.xml", [](StreamedSave& save) {
      StreamMaterias(save);
      save.Leaf("salida", "dato", "control", "a\x01z");
    });
    const std::string command = "xmllint --noout '" + (dir / "resultado.xml").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "resultado.xml");
  }
}

TEST(StreamedSave, DeclarationStatesTheEncodingWritten) {
  struct Case {
    const char* label;
    std::string source;
    std::string start;
  };
  const Case cases[] = {
      {"none: one is added", "<S><SALIDAS/></S>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<S>"},
      {"UTF-8 implied: kept", "<?xml version=\"1.0\"?><S><SALIDAS/></S>",
       "<?xml version=\"1.0\"?>\n<S>"},
      {"an alias: kept",
       "<?xml version=\"1.0\" encoding=\"latin1\" standalone=\"yes\"?><S><SALIDAS/></S>",
       "<?xml version=\"1.0\" encoding=\"latin1\" standalone=\"yes\"?>\n<S>"},
      {"the mark wins over the declaration",
       "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\" "
       "standalone=\"no\"?><S><SALIDAS/></S>",
       "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<S>"},
      {"UTF-16 implied: kept",
       Utf16Bytes(u"<?xml version=\"1.0\" standalone=\"yes\"?><S><SALIDAS/></S>", true),
       Utf16Bytes(u"<?xml version=\"1.0\" standalone=\"yes\"?>\n<S>", true)},
      {"UTF-16 declared as UTF-8: set",
       Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><S><SALIDAS/></S>", false),
       Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<S>", false)},
      {"UTF-16 without declaration: one is added", Utf16Bytes(u"<S><SALIDAS/></S>", true),
       Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<S>", true)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    Document doc = LoadBytes(dir, c.source);
    SaveResult(doc, dir / "resultado.xml", [](StreamedSave&) {});
    EXPECT_EQ(ReadFile(dir / "resultado.xml").substr(0, c.start.size()), c.start);
  }
}

TEST(StreamedSave, CharactersAnEightBitEncodingLacks) {
  // Windows-1252 leaves 0x81 undefined: the loaded character U+0081 has no byte.
  TempDir dir;
  Document doc = LoadBytes(dir,
                           "<?xml version=\"1.0\" encoding=\"windows-1252\"?><S x=\"\x81\">"
                           "<!--a\x81z--><c><![CDATA[a\x81z]]></c><t>&#337;\x81</t><SALIDAS/></S>");
  SaveResult(doc, dir / "resultado.xml", [](StreamedSave&) {});
  const std::string saved = ReadFile(dir / "resultado.xml");
  for (const std::string part :
       {"<S x=\"&#129;\">", "<!--a?z-->", "<c><![CDATA[a]]>&#129;<![CDATA[z]]></c>",
        "<t>&#337;&#129;</t>"}) {
    EXPECT_NE(saved.find(part), std::string::npos) << part << " in " << saved;
  }
}

TEST(StreamedSave, ControlCodesXmlCannotHoldBecomeQuestionMarks) {
  TempDir dir;
  Document doc = LoadBytes(dir, "<S><SALIDAS/></S>");
  SaveResult(doc, dir / "resultado.xml", [](StreamedSave& save) {
    save.Leaf("salida", "dato", std::string("n\0o", 3), std::string("a\x01z\x1F", 4));
  });
  EXPECT_NE(ReadFile(dir / "resultado.xml").find("<salida dato=\"n?o\">a?z?</salida>"),
            std::string::npos);
}

TEST(StreamedSave, ElementsLeftOpenAreEndedAtCommit) {
  TempDir dir;
  Document doc = LoadBytes(dir, "<SERVICIO><SALIDAS/><FIN/></SERVICIO>");
  SaveResult(doc, dir / "resultado.xml", [](StreamedSave& save) {
    save.Open("listasal", "seq", "AULAS");
    save.Open("listasal", "", "");
    save.Leaf("salida", "dato", "N", "a1");
  });
  const Document reloaded = Document::Load(RealFileSystem(), dir / "resultado.xml");
  EXPECT_EQ(reloaded.List("AULAS")[0].Value(0), "a1");
}

TEST(StreamedSave, MisuseIsAnError) {
  TempDir dir;
  Document doc = LoadBytes(dir, "<S><SALIDAS/></S>");
  Document other = LoadBytes(dir, "<S><SALIDAS/></S>", "otro.xml");
  EXPECT_THROW(
      StreamedSave(RealFileSystem(), doc, other.ReplaceRootChild("SALIDAS"), dir / "resultado.xml"),
      Error);
  StreamedSave save(RealFileSystem(), doc, doc.ReplaceRootChild("SALIDAS"), dir / "resultado.xml");
  EXPECT_THROW(save.Close(), Error);  // closing the receiver is not the caller's
  save.Commit();
  EXPECT_THROW(save.Commit(), Error);
  EXPECT_THROW(save.Leaf("salida", "dato", "N", "x"), Error);
}

TEST(StreamedSave, WithoutCommitAnEarlierFileIsIntactAndNoTemporaryStays) {
  TempDir dir;
  testing::WriteFile(dir / "resultado.xml", "anterior");
  Document doc = LoadBytes(dir, "<S><SALIDAS/></S>");
  {
    StreamedSave save(RealFileSystem(), doc, doc.ReplaceRootChild("SALIDAS"),
                      dir / "resultado.xml");
    save.Leaf("salida", "dato", "N", "x");
  }
  EXPECT_EQ(ReadFile(dir / "resultado.xml"), "anterior");
  EXPECT_EQ(Entries(dir), (std::set<std::string>{"fuente.xml", "resultado.xml"}));
}

TEST(StreamedSave, ContentReachesTheTemporaryBeforeCommitAndReplacesTheTarget) {
  TempDir dir;
  testing::WriteFile(dir / "resultado.xml", "anterior");
  Document doc = LoadBytes(dir, "<SERVICIO><SALIDAS/></SERVICIO>");
  StreamedSave save(RealFileSystem(), doc, doc.ReplaceRootChild("SALIDAS"), dir / "resultado.xml");
  save.Open("listasal", "seq", "GRUPOS");
  constexpr int kRecords = 5000;
  for (int i = 0; i < kRecords; ++i) {
    save.Open("listasal", "", "");
    save.Leaf("salida", "dato", "X_UNIDAD", "grupo " + std::to_string(i) + std::string(40, 'x'));
    save.Close();
  }
  std::uintmax_t written = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().string().ends_with(kTemporarySuffix)) written = entry.file_size();
  }
  EXPECT_GT(written, 100'000u);
  EXPECT_EQ(ReadFile(dir / "resultado.xml"), "anterior");

  save.Commit();
  EXPECT_EQ(Entries(dir), (std::set<std::string>{"fuente.xml", "resultado.xml"}));
  const Document reloaded = Document::Load(RealFileSystem(), dir / "resultado.xml");
  const SourceList grupos = reloaded.List("GRUPOS");
  ASSERT_EQ(grupos.size(), static_cast<std::size_t>(kRecords));
  EXPECT_EQ(grupos[kRecords - 1].Value(0), "grupo 4999" + std::string(40, 'x'));
}

}  // namespace
}  // namespace tvb::xml
