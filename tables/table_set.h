// The eight timetable tables that the tool writes or reads, in one place. Seven
// are rebuilt by every export; SOLUC, the solved timetable, is written by the
// timetabling program and only read here. Field names, kinds, widths and order are
// those of the files the timetabling program expects.
#pragma once

#include "tables/table_def.h"

namespace tvb::tables {

inline constexpr FieldDef kAsignomtFields[] = {
    {"COD", FieldKind::kText, 4},     {"CODLARGO", FieldKind::kText, 8},
    {"NOMBRE", FieldKind::kText, 40}, {"MATERIA", FieldKind::kText, 8},
    {"CODTAREA", FieldKind::kText, 12},
};
inline constexpr TableDef kAsignomt{"ASIGNOMT", kAsignomtFields};

inline constexpr FieldDef kProftFields[] = {
    {"ABREV", FieldKind::kText, 4},       {"NOMBRE", FieldKind::kText, 40},
    {"DEPART", FieldKind::kText, 40},     {"DNI", FieldKind::kInteger, 0},
    {"X_EMPLEADO", FieldKind::kText, 10}, {"F_TOMAPOS", FieldKind::kText, 10},
};
inline constexpr TableDef kProft{"PROFT", kProftFields};

inline constexpr FieldDef kAulatFields[] = {
    {"ABREV", FieldKind::kText, 4},     {"NOMBRE", FieldKind::kText, 40},
    {"EDIFICIO", FieldKind::kText, 1},  {"MAXALUM", FieldKind::kInteger, 0},
    {"DEPCENTRO", FieldKind::kText, 10},
};
inline constexpr TableDef kAulat{"AULAT", kAulatFields};

inline constexpr FieldDef kCursostFields[] = {
    {"ABREV", FieldKind::kText, 3}, {"TURNO", FieldKind::kText, 1},
    {"NIVEL", FieldKind::kText, 5}, {"CURSO", FieldKind::kText, 3},
    {"CLAVE", FieldKind::kText, 10},
};
inline constexpr TableDef kCursost{"CURSOST", kCursostFields};

inline constexpr FieldDef kGrupostFields[] = {
    {"ABREV", FieldKind::kText, 4},  {"TURNO", FieldKind::kText, 1},
    {"NIVEL", FieldKind::kText, 5},  {"CURSO", FieldKind::kText, 3},
    {"GRUPO", FieldKind::kText, 2},  {"CLAVE", FieldKind::kText, 10},
    {"CLAVECURSO", FieldKind::kText, 10},
};
inline constexpr TableDef kGrupost{"GRUPOST", kGrupostFields};

inline constexpr FieldDef kAsigtFields[] = {
    {"CASIG", FieldKind::kText, 4},       {"CPROF", FieldKind::kText, 4},
    {"CGRUP", FieldKind::kText, 4},       {"CAULA", FieldKind::kText, 4},
    {"TURNO", FieldKind::kText, 1},       {"NIVEL", FieldKind::kText, 5},
    {"CURSO", FieldKind::kText, 3},       {"GRUPO", FieldKind::kText, 2},
    {"HORAS", FieldKind::kReal, 0},       {"SESIONES", FieldKind::kText, 20},
    {"CLAVE", FieldKind::kText, 10},      {"CLAVECURSO", FieldKind::kText, 10},
    {"TAREA", FieldKind::kText, 10},
};
inline constexpr TableDef kAsigt{"ASIGT", kAsigtFields};

inline constexpr FieldDef kDiashorastFields[] = {
    {"DIHO", FieldKind::kText, 10},     {"CODDIHO", FieldKind::kText, 10},
    {"DIA", FieldKind::kText, 20},      {"TEXTODIA", FieldKind::kText, 20},
    {"HORA", FieldKind::kText, 8},      {"TEXTOHOR", FieldKind::kText, 8},
    {"HORADESDE", FieldKind::kText, 8}, {"HORAHASTA", FieldKind::kText, 8},
    {"MINUTOS", FieldKind::kText, 8},
};
inline constexpr TableDef kDiashorast{"DIASHORAST", kDiashorastFields};

// The solved timetable: only the name is ours; its fields are the timetabling
// program's. The import reads PROF, DIA, HORA, ASIG, CODGRUPO and AULA. The
// definition below is the layout the tool's own samples and tests use.
inline constexpr FieldDef kSolucFields[] = {
    {"PROF", FieldKind::kText, 4},  {"DIA", FieldKind::kInteger, 0},
    {"HORA", FieldKind::kInteger, 0}, {"ASIG", FieldKind::kText, 4},
    {"CODGRUPO", FieldKind::kText, 4}, {"AULA", FieldKind::kText, 4},
};
inline constexpr TableDef kSoluc{"SOLUC", kSolucFields};

// The seven tables of an export, in the order the export replaces them.
inline constexpr const TableDef* kExportTables[] = {&kAsignomt, &kProft,  &kAulat,     &kCursost,
                                                   &kGrupost,  &kAsigt, &kDiashorast};

}  // namespace tvb::tables
