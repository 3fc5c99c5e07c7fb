#include "import/result_document.h"

namespace tvb {
namespace {

void Value(xml::StreamedSave& save, std::string_view name, std::string_view text) {
  save.Leaf("salida", "dato", name, text);
}

}  // namespace

ResultDocument::ResultDocument(FileSystem& fs, xml::Document& doc, const Path& target)
    : save_(fs, doc, doc.ReplaceRootChild("SALIDAS"), target) {}

void ResultDocument::Status(std::size_t teacher_count) {
  save_.Open("ERROR", "", "");
  Value(save_, "CN_ERROR", "0");
  Value(save_, "TE_ERROR", "Servicio finalizado Correctamente");
  Value(save_, "REGISTROS RECUPERADOS", std::to_string(teacher_count));
  save_.Close();
}

void ResultDocument::BeginTeacher(std::size_t n, std::string_view employee,
                                  std::string_view post_date) {
  save_.Open("listasal", "seq", "EMP_" + std::to_string(n));
  Value(save_, "X_EMPLEADO", employee);
  Value(save_, "F_TOMAPOS", post_date);
}

void ResultDocument::Slot(std::size_t m, const SlotValues& values) {
  save_.Open("listasal", "seq", "TRAMO_" + std::to_string(m));
  Value(save_, "X_ACTIVIDAD", values.actividad);
  Value(save_, "N_DIASEMANA", values.diasemana);
  Value(save_, "X_TRAMO", values.tramo);
  Value(save_, "X_DEPCENTRO", values.depcentro);
  Value(save_, "X_MATERIAOMC", values.materiaomc);
  Value(save_, "X_UNIDAD", values.unidad);
  save_.Close();
}

void ResultDocument::EndTeacher() { save_.Close(); }

void ResultDocument::Commit() { save_.Commit(); }

}  // namespace tvb
