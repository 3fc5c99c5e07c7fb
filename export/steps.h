// The seven steps of an export, in the order the run calls them. Each reads its
// lists of the source document and fills its tables in the run's ExportTables;
// nothing reaches the table directory until the run puts all seven in place.
//
// A list record with fewer than two value nodes is skipped by every step but
// ExportarTramos. Every step reads the positions it needs; a position that a
// record lacks ends the run with an error naming the list, record and position.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "export/code_list.h"
#include "tables/table_builder.h"
#include "tables/table_set.h"
#include "xml/document.h"
#include "xml/source_list.h"

namespace tvb {

// The tables of one export run, built in memory, and what the subjects and tasks
// steps share. Every run starts from a new, empty ExportTables.
struct ExportTables {
  TableBuilder asignomt{tables::kAsignomt};
  TableBuilder proft{tables::kProft};
  TableBuilder aulat{tables::kAulat};
  TableBuilder cursost{tables::kCursost};
  TableBuilder grupost{tables::kGrupost};
  TableBuilder asigt{tables::kAsigt};
  TableBuilder diashorast{tables::kDiashorast};

  // Long codes accepted so far by the subjects and tasks steps, case folded.
  std::unordered_set<std::string> ListaCodigosLargos;
  // Short codes given so far to subjects and tasks: the codes of ASIGNOMT.
  CodeList ListaCodigosCortos{kSubjectAndTaskCodes, tables::kAsignomt.name};
  // The short code of each accepted subject, by its long code case folded: the
  // assignments name a subject by the code the subjects step gave it.
  std::unordered_map<std::string, std::string> subject_short_code;
};

// Calls `step(record, number)` for every record of the list `seq` that has two or
// more value nodes, in document order; `number` counts all records from 1.
template <typename Step>
void ForEachRecord(const xml::SourceList& list, Step step) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const xml::Record record = list[i];
    if (record.Count() >= 2) step(record, i + 1);
  }
}

template <typename Step>
void ForEachRecord(const xml::Document& doc, std::string_view seq, Step step) {
  ForEachRecord(doc.List(seq), step);
}

void ExportarMaterias(const xml::Document& doc, ExportTables& out);
void ExportarTareas(const xml::Document& doc, ExportTables& out);
void ExportarProfesores(const xml::Document& doc, ExportTables& out);
void ExportarAulas(const xml::Document& doc, ExportTables& out);
void ExportarCursosGrupos(const xml::Document& doc, ExportTables& out);
void ExportarAsignaciones(const xml::Document& doc, ExportTables& out);
void ExportarTramos(const xml::Document& doc, ExportTables& out);

}  // namespace tvb
