// The command line as a user meets it: what it prints, on which stream, and its
// exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "tables/table_directory.h"
#include "tests/support/school_document.h"
#include "tests/support/temp_dir.h"

namespace tvb {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class TransvbTest : public ::testing::Test {
 protected:
  // Runs transvb with `args` (already quoted for the shell) and `env` in front.
  Outcome Run(const std::string& args, const std::string& env = "") {
    const auto out = dir_ / "out.txt";
    const auto err = dir_ / "err.txt";
    const std::string command =
        env + " " + TVB_TRANSVB + " " + args + " >" + out.string() + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing::ReadFile(out), testing::ReadFile(err)};
  }
  std::string Document() {
    testing::SchoolDocument school;
    school.List("PROFESORES", {testing::Values({"E1", "01/09/2020", "Ana", "AIB"})});
    const auto path = dir_ / "colegio.xml";
    testing::WriteFile(path, school.Xml());
    return path.string();
  }
  testing::TempDir dir_;
};

TEST_F(TransvbTest, ExportPrintsTheRowsWrittenPerTable) {
  std::filesystem::create_directory(dir_ / "VTEMP");
  const Outcome o = Run("exportar " + Document() + " --tablas " + (dir_ / "VTEMP").string());
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("PROFT             1 filas"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("Proceso finalizado"), std::string::npos) << o.out;
  EXPECT_EQ(o.err, "");
}

TEST_F(TransvbTest, TableDirectoryComesFromTheOptionThenTheEnvironment) {
  std::filesystem::create_directories(dir_ / "env");
  std::filesystem::create_directories(dir_ / "wine" / "drive_c" / "VTEMP");
  const std::string doc = Document();
  EXPECT_EQ(Run("exportar " + doc, "VTEMP_DIR=" + (dir_ / "env").string()).status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "env" / "PROFT.DBF"));
  EXPECT_EQ(Run("exportar " + doc, "VTEMP_DIR= WINEPREFIX=" + (dir_ / "wine").string()).status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "wine" / "drive_c" / "VTEMP" / "PROFT.DBF"));
  std::filesystem::create_directories(dir_ / "opt");
  EXPECT_EQ(Run("exportar " + doc + " --tablas " + (dir_ / "opt").string(),
                "VTEMP_DIR=" + (dir_ / "env").string())
                .status,
            0);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "opt" / "PROFT.DBF"));
  EXPECT_EQ(
      Run("exportar " + doc, "VTEMP_DIR= WINEPREFIX= HOME=" + (dir_ / "wine").string()).status, 1)
      << "no .wine under that home";
}

TEST_F(TransvbTest, FailuresGoToStandardErrorWithStatusOne) {
  const struct {
    std::string args;
    std::string message;
  } cases[] = {
      {"exportar " + (dir_ / "falta.xml").string() + " --tablas " + dir_.path().string(),
       "No existe archivo\n"},
      {"importar " + (dir_ / "falta.xml").string() + " --tablas " + dir_.path().string(),
       "No existe archivo\n"},
      {"importar " + Document() + " --tablas " + dir_.path().string(),
       "No existe la tabla SOLUC en «" + dir_.path().string() + "»\n"},
      {"exportar " + Document() + " --tablas " + (dir_ / "no-hay").string(),
       "No existe la carpeta de tablas «" + (dir_ / "no-hay").string() + "»\n"},
  };
  for (const auto& c : cases) {
    const Outcome o = Run(c.args);
    EXPECT_EQ(o.status, 1) << c.args;
    EXPECT_EQ(o.err, c.message) << c.args;
    EXPECT_EQ(o.out, "") << c.args;
  }
}

TEST_F(TransvbTest, BadUsageGivesStatusTwoAndTheUsage) {
  for (const std::string args : {"", "exportar", "copiar a.xml", "exportar a.xml b.xml",
                                 "exportar a.xml --tablas", "exportar a.xml --otra"}) {
    const Outcome o = Run(args);
    EXPECT_EQ(o.status, 2) << args;
    EXPECT_NE(o.err.find("Uso: transvb exportar"), std::string::npos) << args;
  }
  const Outcome help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--tablas DIR"), std::string::npos);
  const Outcome version = Run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("V-1.4"), std::string::npos);
}

TEST(TableDirectoryTest, DialogStartsInTheBrivoFolder) {
  EXPECT_EQ(DialogStartDirectory("/x/VTEMP"), "/x/VTEMP/brivo");
}

}  // namespace
}  // namespace tvb
