// The result document handed back to the management system: the loaded document
// with its outputs element SALIDAS replaced by a status block and one list per
// teacher holding that teacher's timetable slots, saved beside the chosen file.
//
//   <SALIDAS>
//     <ERROR> CN_ERROR "0", TE_ERROR "Servicio finalizado Correctamente",
//             "REGISTROS RECUPERADOS" the number of teachers </ERROR>
//     <listasal seq="EMP_n"> X_EMPLEADO, F_TOMAPOS,
//       <listasal seq="TRAMO_m"> X_ACTIVIDAD, N_DIASEMANA, X_TRAMO, X_DEPCENTRO,
//                                X_MATERIAOMC, X_UNIDAD </listasal> ...
//     </listasal> ...
//   </SALIDAS>
//
// Each value is a <salida dato="NAME">text</salida>. The content is streamed to a
// temporary file as the run walks the timetable; only Commit() puts the file in
// place, so a run that fails leaves an earlier result file intact.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "files/file_system.h"
#include "xml/document.h"
#include "xml/streamed_save.h"

namespace tvb {

// The six values of a slot, ANSI text, in the order they are written.
struct SlotValues {
  std::string actividad;   // X_ACTIVIDAD: task number, or the task key of a task
  std::string diasemana;   // N_DIASEMANA: day of the week
  std::string tramo;       // X_TRAMO: period key
  std::string depcentro;   // X_DEPCENTRO: room key
  std::string materiaomc;  // X_MATERIAOMC: subject key
  std::string unidad;      // X_UNIDAD: group key
};

class ResultDocument {
 public:
  // Replaces SALIDAS in `doc` and starts writing to a temporary beside `target`.
  // A document without root element or without SALIDAS is an error.
  ResultDocument(FileSystem& fs, xml::Document& doc, const Path& target);

  void Status(std::size_t teacher_count);
  // Opens the list of teacher number `n`, with its two values.
  void BeginTeacher(std::size_t n, std::string_view employee, std::string_view post_date);
  void Slot(std::size_t m, const SlotValues& values);
  void EndTeacher();
  void Commit();

 private:
  xml::StreamedSave save_;
  // The six values of a slot, in the order they are written.
  const xml::StreamedSave::LeafShape slot_values_[6];
};

}  // namespace tvb
