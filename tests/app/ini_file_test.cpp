// The result code file: one value changes, every other byte stays.
#include "app/ini_file.h"

#include <QtTest>

#include "tests/support/temp_dir.h"

namespace tvb::app {
namespace {

class IniFileTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void setsTheValue_data();
  void setsTheValue();
  void findsTheFileWithoutRegardToLetterCase();
};

void IniFileTest::setsTheValue_data() {
  QTest::addColumn<QByteArray>("before");
  QTest::addColumn<QByteArray>("value");
  QTest::addColumn<QByteArray>("after");

  QTest::newRow("new file") << QByteArray() << QByteArray("1")
                            << QByteArray("[Transformadores]\r\nTransformado=1\r\n");
  QTest::newRow("value replaced, comments and CRLF kept")
      << QByteArray(
             "; Vestrano\r\n[General]\r\nRuta=C:\\VTEMP\r\n\r\n[Transformadores]\r\n"
             "; last result\r\nTransformado=0\r\nOtro=5\r\n")
      << QByteArray("-1")
      << QByteArray(
             "; Vestrano\r\n[General]\r\nRuta=C:\\VTEMP\r\n\r\n[Transformadores]\r\n"
             "; last result\r\nTransformado=-1\r\nOtro=5\r\n");
  QTest::newRow("letter case and blanks around the sign kept")
      << QByteArray("[ TRANSFORMADORES ]\ntransformado =  0  \n") << QByteArray("1")
      << QByteArray("[ TRANSFORMADORES ]\ntransformado =  1\n");
  QTest::newRow("key added after the section's last line")
      << QByteArray("[Transformadores]\r\nOtro=5\r\n\r\n[Z]\r\nA=1\r\n") << QByteArray("1")
      << QByteArray("[Transformadores]\r\nOtro=5\r\nTransformado=1\r\n\r\n[Z]\r\nA=1\r\n");
  QTest::newRow("section added with the file's LF")
      << QByteArray("[A]\nx=1\n") << QByteArray("0")
      << QByteArray("[A]\nx=1\n[Transformadores]\nTransformado=0\n");
  QTest::newRow("file without final line ending stays so")
      << QByteArray("[A]\r\nx=1") << QByteArray("1")
      << QByteArray("[A]\r\nx=1\r\n[Transformadores]\r\nTransformado=1");
  QTest::newRow("same key in another section is not it")
      << QByteArray("[Otra]\r\nTransformado=7\r\n") << QByteArray("1")
      << QByteArray("[Otra]\r\nTransformado=7\r\n[Transformadores]\r\nTransformado=1\r\n");
  QTest::newRow("commented-out key is not it")
      << QByteArray("[Transformadores]\r\n;Transformado=7\r\n") << QByteArray("1")
      << QByteArray("[Transformadores]\r\n;Transformado=7\r\nTransformado=1\r\n");
  QTest::newRow("only the first of two sections counts")
      << QByteArray("[Transformadores]\r\nA=1\r\n[Transformadores]\r\nTransformado=0\r\n")
      << QByteArray("1")
      << QByteArray(
             "[Transformadores]\r\nA=1\r\nTransformado=1\r\n[Transformadores]\r\n"
             "Transformado=0\r\n");
  QTest::newRow("byte order mark before the first section")
      << QByteArray("\xEF\xBB\xBF[Transformadores]\r\nTransformado=0\r\n") << QByteArray("1")
      << QByteArray("\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n");
  QTest::newRow("8-bit text elsewhere untouched")
      << QByteArray(
             "[Aulas]\r\nNombre=Laboratorio de F\xEDsica\r\n[Transformadores]\r\n"
             "Transformado=1\r\n")
      << QByteArray("0")
      << QByteArray(
             "[Aulas]\r\nNombre=Laboratorio de F\xEDsica\r\n[Transformadores]\r\n"
             "Transformado=0\r\n");
}

void IniFileTest::setsTheValue() {
  QFETCH(QByteArray, before);
  QFETCH(QByteArray, value);
  QFETCH(QByteArray, after);
  const std::string result =
      SetIniValue(before.toStdString(), "Transformadores", "Transformado", value.toStdString());
  QCOMPARE(QByteArray::fromStdString(result), after);
}

void IniFileTest::findsTheFileWithoutRegardToLetterCase() {
  testing::TempDir dir;
  QCOMPARE(ProfileFileIn(RealFileSystem(), dir.path(), "Vestrano.ini"), dir / "Vestrano.ini");
  testing::WriteFile(dir / "VESTRANO.INI", "[Transformadores]\r\nTransformado=0\r\n");
  const Path found = ProfileFileIn(RealFileSystem(), dir.path(), "Vestrano.ini");
  QCOMPARE(found, dir / "VESTRANO.INI");

  WriteIniValue(RealFileSystem(), found, "Transformadores", "Transformado", "1");
  QCOMPARE(testing::ReadFile(found), std::string("[Transformadores]\r\nTransformado=1\r\n"));
  QVERIFY(!std::filesystem::exists(dir / "Vestrano.ini"));
}

}  // namespace
}  // namespace tvb::app

QTEST_GUILESS_MAIN(tvb::app::IniFileTest)
#include "ini_file_test.moc"
