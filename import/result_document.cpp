#include "import/result_document.h"

namespace tvb {
namespace {

void Value(xml::StreamedSave& save, std::string_view name, std::string_view text) {
  save.Leaf("salida", "dato", name, text);
}

}  // namespace

ResultDocument::ResultDocument(FileSystem& fs, xml::Document& doc, const Path& target)
    : save_(fs, doc, doc.ReplaceRootChild("SALIDAS"), target),
      slot_values_{{"salida", "dato", "X_ACTIVIDAD"},  {"salida", "dato", "N_DIASEMANA"},
                   {"salida", "dato", "X_TRAMO"},      {"salida", "dato", "X_DEPCENTRO"},
                   {"salida", "dato", "X_MATERIAOMC"}, {"salida", "dato", "X_UNIDAD"}} {}

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
  save_.Leaf(slot_values_[0], values.actividad);
  save_.Leaf(slot_values_[1], values.diasemana);
  save_.Leaf(slot_values_[2], values.tramo);
  save_.Leaf(slot_values_[3], values.depcentro);
  save_.Leaf(slot_values_[4], values.materiaomc);
  save_.Leaf(slot_values_[5], values.unidad);
  save_.Close();
}

void ResultDocument::EndTeacher() { save_.Close(); }

void ResultDocument::Commit() { save_.Commit(); }

}  // namespace tvb
