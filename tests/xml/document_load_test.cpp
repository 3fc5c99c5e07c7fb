// Loading documents: the encodings read, and the errors that name the file, the
// reason and the line and column.
#include <gtest/gtest.h>

#include <string>

#include "tests/xml/xml_files.h"
#include "text/error.h"
#include "xml/document.h"
#include "xml/source_list.h"

namespace tvb::xml {
namespace {

using testing::LoadBytes;
using testing::TempDir;
using testing::Utf16Bytes;

// A document whose one MATERIAS record holds `value` at position 1.
#define SERVICIO_WITH(value)                                                                 \
  "<SERVICIO><SALIDAS><listasal seq=\"MATERIAS\"><listasal><salida>k</salida><salida>" value \
  "</salida></listasal></listasal></SALIDAS></SERVICIO>"

// ñ, €, é are Windows-1252 characters; ő and Č are not but decompose to o and C;
// 中 has nothing to fall back on.
#define MIXED_VALUE "Año € café ő Č 中"
constexpr std::string_view kMixedAnsi = "A\xF1o \x80 caf\xE9 o C ?";

struct EncodingCase {
  const char* label;
  std::string bytes;
  Encoding encoding;
};

TEST(DocumentLoad, ReadsEveryAcceptedEncoding) {
  const EncodingCase cases[] = {
      {"UTF-8 without declaration", SERVICIO_WITH(MIXED_VALUE), Encoding::kUtf8},
      {"UTF-8 with byte order mark", "\xEF\xBB\xBF" SERVICIO_WITH(MIXED_VALUE), Encoding::kUtf8},
      {"UTF-8 declared in small letters",
       "<?xml version='1.0' encoding='utf-8'?>" SERVICIO_WITH(MIXED_VALUE), Encoding::kUtf8},
      {"UTF-16 LE",
       Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>" SERVICIO_WITH(MIXED_VALUE), true),
       Encoding::kUtf16LE},
      {"UTF-16 BE without declaration", Utf16Bytes(u"" SERVICIO_WITH(MIXED_VALUE), false),
       Encoding::kUtf16BE},
      {"ISO-8859-1",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" SERVICIO_WITH(
           "A\xF1o &#8364; caf\xE9 &#337; &#268; &#20013;"),
       Encoding::kLatin1},
      {"latin1 alias",
       "<?xml version=\"1.0\" encoding=\"latin1\"?>" SERVICIO_WITH(
           "A\xF1o &#x20AC; caf\xE9 &#337; &#268; &#20013;"),
       Encoding::kLatin1},
      {"Windows-1252",
       "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>" SERVICIO_WITH(
           "A\xF1o \x80 caf\xE9 &#337; &#268; &#20013;"),
       Encoding::kWindows1252},
      {"cp1252 alias",
       "<?xml version=\"1.0\" encoding=\"cp1252\" standalone=\"yes\"?>" SERVICIO_WITH(
           "A\xF1o \x80 caf\xE9 &#337; &#268; &#20013;"),
       Encoding::kWindows1252},
  };
  for (const EncodingCase& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const Document doc = LoadBytes(dir, c.bytes);
    EXPECT_EQ(doc.encoding(), c.encoding);
    const SourceList materias = doc.List("MATERIAS");
    ASSERT_EQ(materias.size(), 1u);
    EXPECT_EQ(materias[0].Value(1), kMixedAnsi);
  }
}

struct FailureCase {
  const char* label;
  std::string bytes;
  std::string reason_and_place;
};

TEST(DocumentLoad, FailureNamesReasonLineAndColumn) {
  std::u16string lone_surrogate = u"<a>x";
  lone_surrogate += char16_t{0xD800};
  lone_surrogate += u"</a>";
  const FailureCase cases[] = {
      {"empty file", "", "el archivo está vacío (línea 1, columna 1)"},
      {"only blanks", "  \n ", "el documento no tiene elemento raíz (línea 2, columna 2)"},
      {"unsupported encoding", "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a/>",
       "la codificación «EUC-JP» no se admite (se admiten UTF-8, UTF-16, ISO-8859-1 y "
       "Windows-1252) (línea 1, columna 31)"},
      {"UTF-16 declared without mark", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>",
       "se declara UTF-16 pero el documento no empieza con la marca de orden de bytes"},
      {"UTF-16 bytes without mark", Utf16Bytes(u"<a/>", true).substr(2),
       "el documento está en UTF-16 sin marca de orden de bytes"},
      {"mismatching end tag", "<SERVICIO>\n  <SALIDAS>\n  </SALIDA>\n</SERVICIO>",
       "etiqueta de cierre que no corresponde (línea 3, columna 5)"},
      {"columns count characters", "<a>ñññ</b>",
       "etiqueta de cierre que no corresponde (línea 1, columna 9)"},
      {"CR LF ends one line", "<a>\r\n<b>\r\n</c>",
       "etiqueta de cierre que no corresponde (línea 3, columna 3)"},
      {"columns of a Windows-1252 file",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<a>\xE9\xE9</b>",
       "etiqueta de cierre que no corresponde (línea 2, columna 8)"},
      {"element left open", "<SERVICIO>\n<SALIDAS>",
       "el documento termina sin cerrar todos sus elementos (línea 2, columna 10)"},
      {"bad attribute", "<a b='1' c></a>", "atributo mal formado (línea 1, columna 12)"},
      {"two root elements", "<a/><b/>",
       "el documento tiene más de un elemento raíz (línea 1, columna 6)"},
      {"late declaration", "<a/><?xml version=\"1.0\"?>",
       "la declaración XML no está al principio del documento"},
      {"malformed UTF-8", "<a>x\xC3(</a>", "secuencia UTF-8 no válida (línea 1, columna 5)"},
      {"null character", std::string("<a>\0</a>", 8),
       "carácter nulo en el documento (línea 1, columna 4)"},
      {"UTF-16 cut in a character", Utf16Bytes(u"<a/>", true) + "x",
       "el archivo UTF-16 termina a mitad de un carácter (línea 1, columna 5)"},
      {"UTF-16 lone surrogate", Utf16Bytes(lone_surrogate, false),
       "secuencia UTF-16 no válida (línea 1, columna 5)"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    try {
      LoadBytes(dir, c.bytes, "a.xml");
      ADD_FAILURE() << "loaded";
    } catch (const Error& e) {
      const std::string prefix =
          "No se pudo cargar el documento «" + (dir / "a.xml").string() + "»: ";
      EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
      EXPECT_NE(std::string(e.what()).find(c.reason_and_place), std::string::npos) << e.what();
    }
  }
}

TEST(DocumentLoad, WholeMessageOfAParseError) {
  TempDir dir;
  try {
    LoadBytes(dir, "<SERVICIO>\n<SALIDAS>\n  </SALIDA>", "a.xml");
    FAIL() << "loaded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "No se pudo cargar el documento «" + (dir / "a.xml").string() +
                                         "»: etiqueta de cierre que no corresponde (línea 3, "
                                         "columna 5)");
  }
}

TEST(DocumentLoad, UnreadableFileIsAnErrorNamingIt) {
  TempDir dir;
  const Path missing = dir / "no-esta.xml";
  try {
    Document::Load(RealFileSystem(), missing);
    FAIL() << "loaded";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tvb::xml
