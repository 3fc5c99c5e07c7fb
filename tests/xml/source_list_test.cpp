// Selecting a list's records and reading their values by position and by name.
#include "xml/source_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/xml/xml_files.h"
#include "text/error.h"
#include "xml/document.h"

namespace tvb::xml {
namespace {

using testing::LoadBytes;
using testing::TempDir;

std::string Servicio(const std::string& salidas) {
  return "<SERVICIO><SALIDAS>" + salidas + "</SALIDAS></SERVICIO>";
}

// A record whose value nodes hold `values` in order.
std::string RecordOf(const std::vector<std::string>& values) {
  std::string record = "<listasal>";
  for (const std::string& value : values) record += "<salida>" + value + "</salida>";
  return record + "</listasal>";
}

std::string ListOf(const std::string& seq, const std::string& records) {
  return "<listasal seq=\"" + seq + "\">" + records + "</listasal>";
}

// The first value of every record of the list.
std::vector<std::string> FirstValues(const SourceList& list) {
  std::vector<std::string> values;
  for (std::size_t i = 0; i < list.size(); ++i) values.push_back(list[i].Value(0));
  return values;
}

TEST(SourceList, SelectsOnlyTheExactPath) {
  struct Case {
    const char* label;
    std::string document;
    std::vector<std::string> expected;
  };
  const std::string records = RecordOf({"a", "1"}) + RecordOf({"b", "2"});
  const Case cases[] = {
      {"the list", Servicio(ListOf("MATERIAS", records)), {"a", "b"}},
      {"root not SERVICIO",
       "<OTRO><SALIDAS>" + ListOf("MATERIAS", records) + "</SALIDAS></OTRO>",
       {}},
      {"no SALIDAS", "<SERVICIO>" + ListOf("MATERIAS", records) + "</SERVICIO>", {}},
      {"seq in small letters", Servicio(ListOf("materias", records)), {}},
      {"records one level deeper",
       Servicio("<listasal seq=\"MATERIAS\"><grupo>" + records + "</grupo></listasal>"),
       {}},
      {"another list only", Servicio(ListOf("TAREAS", records)), {}},
      {"two lists of the same name, one after the other",
       Servicio(ListOf("MATERIAS", RecordOf({"a", "1"})) + ListOf("AULAS", RecordOf({"x", "9"})) +
                ListOf("MATERIAS", RecordOf({"b", "2"}) + RecordOf({"c", "3"}))),
       {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const Document doc = LoadBytes(dir, c.document);
    EXPECT_EQ(FirstValues(doc.List("MATERIAS")), c.expected);
  }
}

TEST(SourceList, EveryListNameHasItsSelection) {
  TempDir dir;
  const std::vector<std::string> names = {"MATERIAS", "TAREAS", "PROFESORES", "AULAS",
                                          "CURSOS",   "GRUPOS", "INTERVALOS"};
  std::string lists;
  for (const std::string& name : names) lists += ListOf(name, RecordOf({name}));
  const Document doc = LoadBytes(dir, Servicio(lists));
  for (const std::string& name : names) {
    const SourceList list = doc.List(name);
    EXPECT_EQ(list.name(), name);
    EXPECT_EQ(FirstValues(list), std::vector<std::string>{name});
  }
  EXPECT_THROW(doc.List("OTRA"), Error);
}

TEST(SourceList, RecordsOfAnyLengthAreRecords) {
  TempDir dir;
  const Document doc = LoadBytes(
      dir,
      Servicio(ListOf("MATERIAS", "<listasal/>" + RecordOf({"solo"}) + RecordOf({"a", "b", "c"}))));
  const SourceList list = doc.List("MATERIAS");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Count(), 0u);
  EXPECT_EQ(list[1].Count(), 1u);
  EXPECT_EQ(list[2].Count(), 3u);
}

TEST(SourceList, OnlySalidaChildrenArePositions) {
  TempDir dir;
  const Document doc = LoadBytes(
      dir,
      Servicio(ListOf("MATERIAS",
                      "<listasal><nota>x</nota><salida>a</salida><!-- c --><otro><salida>n"
                      "</salida></otro><salida>b</salida>texto<salida>c</salida></listasal>")));
  const Record record = doc.List("MATERIAS")[0];
  ASSERT_EQ(record.Count(), 3u);
  EXPECT_EQ(record.Value(0), "a");
  EXPECT_EQ(record.Value(1), "b");
  EXPECT_EQ(record.Value(2), "c");
}

TEST(SourceList, ValueIsAllTextTrimmedAtBothEnds) {
  struct Case {
    const char* label;
    std::string node_content;
    std::string value;
  };
  const Case cases[] = {
      {"blanks, tabs and line breaks", " \t\r\n  Lengua  castellana \t\n", "Lengua  castellana"},
      {"control codes", "&#1;&#31;x&#9;", "x"},
      {"no-break space is not trimmed", "&#160;x", "\xA0x"},
      {"CDATA and nested text", "ab<![CDATA[ c<d ]]><i>e<b>f</b></i> g", "ab c<d ef g"},
      {"CDATA only, blanks inside", "<![CDATA[  \n  ]]>", ""},
      {"comments and instructions are not text", "a<!--b--><?pi c?>d", "ad"},
      {"entities", "&lt;&amp;&gt;&quot;&apos;", "<&>\"'"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const Document doc =
        LoadBytes(dir, Servicio(ListOf("MATERIAS", RecordOf({c.node_content, "x"}))));
    EXPECT_EQ(doc.List("MATERIAS")[0].Value(0), c.value);
  }
}

TEST(SourceList, NameIsTheDatoAttributeAsWritten) {
  TempDir dir;
  const Document doc = LoadBytes(
      dir, Servicio(ListOf("INTERVALOS",
                           "<listasal><salida dato=\"NOMBRE\">a</salida><salida dato=\"nombre\"/>"
                           "<salida dato=\" NOMBRE \"/><salida/><salida dato=\"AÑO\"/>"
                           "<salida dato=\"\"/></listasal>")));
  const Record record = doc.List("INTERVALOS")[0];
  EXPECT_EQ(record.Name(0), "NOMBRE");
  EXPECT_EQ(record.Name(1), "nombre");
  EXPECT_EQ(record.Name(2), " NOMBRE ");
  EXPECT_EQ(record.Name(3), std::nullopt);
  EXPECT_EQ(record.Name(4), "A\xD1O");
  EXPECT_EQ(record.Name(5), "");
}

TEST(SourceList, MissingPositionNamesListRecordAndPosition) {
  TempDir dir;
  const Document doc = LoadBytes(
      dir, Servicio(ListOf("MATERIAS", RecordOf({"a", "b", "c", "d", "e"}) + RecordOf({"a", "b"})) +
                    ListOf("MATERIAS", RecordOf({"a", "b", "c"}))));
  // The list name outlives the text it was asked with.
  const SourceList list = doc.List(std::string("MATERIAS"));
  ASSERT_EQ(list.size(), 3u);
  const Record third = list[2];
  EXPECT_EQ(third.Value(2), "c");
  for (auto read : {+[](const Record& r) { r.Value(4); }, +[](const Record& r) { r.Name(4); }}) {
    try {
      read(third);
      ADD_FAILURE() << "read a missing position";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(),
                   "Al registro 3 de la lista MATERIAS le falta el valor de la posición 4");
    }
  }
}

}  // namespace
}  // namespace tvb::xml
