// The bundled sample school carried both ways: its export, then the import of the
// sample solved timetable, checked against the result worked out by hand.
#include <gtest/gtest.h>

#include <cstdlib>

#include "export/export_run.h"
#include "import/import_run.h"
#include "tests/import/import_fixture.h"

namespace tvb {
namespace {

using Lines = std::vector<std::string>;

TEST(SampleRoundTripTest, ImportOfTheSampleTimetableGivesTheHandCheckedResult) {
  const std::filesystem::path samples = std::filesystem::path(TVB_SOURCE_DIR) / "samples";
  testing::TempDir work;
  const auto tables = work / "VTEMP";
  std::filesystem::create_directory(tables);
  std::filesystem::copy_file(samples / "colegio.xml", work / "colegio.xml");

  ExportarDocumento(RealFileSystem(), work / "colegio.xml", tables);
  std::filesystem::copy_file(samples / "SOLUC.DBF", tables / "SOLUC.DBF");
  const ImportReport report = ImportarDocumento(RealFileSystem(), work / "colegio.xml", tables);
  EXPECT_EQ(report.result, work / "ResultadoToviracolegio.xml");
  EXPECT_EQ(report.teachers, 8u);
  EXPECT_EQ(report.slots, 20u);

  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(report.result.c_str(), pugi::parse_default | pugi::parse_comments));
  EXPECT_EQ(std::string(doc.first_child().value()).find(" Datos de ejemplo"), 0u);
  const pugi::xml_node root = doc.document_element();
  EXPECT_STREQ(root.first_child().name(), "ENTRADAS");
  EXPECT_STREQ(root.first_child().child("entrada").child_value(), "41000000");
  EXPECT_EQ(testing::Describe(root.child("SALIDAS").child("ERROR")),
            ":0|Servicio finalizado Correctamente|8");
  EXPECT_EQ(testing::DescribeTeachers(root.child("SALIDAS")),
            (Lines{"EMP_1:E0001|01/09/2019",
                   "  TRAMO_1:156|1|I1|R101|M101|G11",
                   "  TRAMO_2:156|1|I2|R102|M101|G12",
                   "  TRAMO_3:156|2|I1|R103|M101|G13",
                   "  TRAMO_4:156|3|I5|R103|M102|G21",
                   "  TRAMO_5:281|4|I4|R302|M118|G11",
                   "EMP_2:E0002|01/09/2021",
                   "  TRAMO_1:156|1|I1|R102|M104|G12",
                   "  TRAMO_2:156|2|I2|R103|M105|G22",
                   "  TRAMO_3:T01|5|I6|||",
                   "EMP_3:E0003|15/10/2015",
                   "  TRAMO_1:156|1|I3|R201|M112|G21",
                   "  TRAMO_2:156|2|I3|R202|M112|G22",
                   "  TRAMO_3:156|3|I3|R202|M113|G21",
                   "EMP_4:E0004|01/09/2010",
                   "  TRAMO_1:156|1|I5|R101|M107|G11",
                   "  TRAMO_2:156|2|I5|R103|M108|G21",
                   "  TRAMO_3:|3|I7|||",
                   "EMP_5:E0005|01/09/2022",
                   "  TRAMO_1:156|1|I6|R301|M114|G11",
                   "  TRAMO_2:156|2|I6|R301|M115|G22",
                   "EMP_6:E0006|03/02/2018",
                   "  TRAMO_1:156|3|I1|R900|M116|G31",
                   "  TRAMO_2:286|4|I1|R302|M119|G13",
                   "EMP_7:E0007|01/09/2020",
                   "  TRAMO_1:156|5|I2|R102|M110|G12",
                   "  TRAMO_2:T03|5|I3|||",
                   "EMP_8:E0008|01/09/2023"}));
  if (std::system("command -v xmllint >/dev/null") == 0) {
    EXPECT_EQ(std::system(("xmllint --noout " + report.result.string()).c_str()), 0);
  }
}

}  // namespace
}  // namespace tvb
