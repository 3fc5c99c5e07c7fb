#include "bench/school_names.h"

#include <cctype>

namespace tvb::bench {
namespace {

constexpr Family kSubjects[] = {
    {"MATE", "Matemáticas"},      {"LENG", "Lengua Castellana y Literatura"},
    {"INGL", "Inglés"},           {"BIOG", "Biología y Geología"},
    {"FYQU", "Física y Química"}, {"GEOH", "Geografía e Historia"},
    {"EFIS", "Educación Física"}, {"TECN", "Tecnología"},
    {"MUSI", "Música"},           {"EPVA", "Educación Plástica, Visual y Audiovisual"},
    {"FILO", "Filosofía"},        {"LATI", "Latín"},
    {"GRIE", "Griego"},           {"ECON", "Economía"},
    {"FRAN", "Francés"},          {"RELI", "Religión"},
    {"INFO", "Informática"},      {"DIBU", "Dibujo Técnico"},
};

constexpr Family kTasks[] = {
    {"REUN", "Reunión de departamento"}, {"GUAR", "Guardia de pasillo"},
    {"TUTO", "Tutoría con familias"},    {"BIBL", "Apoyo en la biblioteca"},
    {"COOR", "Coordinación TIC"},        {"JEFA", "Jefatura de estudios"},
};

constexpr Family kRooms[] = {
    {"AULA", "Aula"},
    {"LABO", "Laboratorio de Física"},
    {"TALL", "Taller de Tecnología"},
    {"GIMN", "Gimnasio"},
    {"BIBL", "Biblioteca"},
    {"INFO", "Aula de Informática"},
    {"MUSI", "Aula de Música"},
    {"PLAS", "Aula de Plástica"},
    {"DESP", "Despacho de Orientación"},
};

constexpr Family kLevels[] = {
    {"ESO", "Educación Secundaria Obligatoria"},  {"BTO", "Bachillerato"},
    {"FPB", "Formación Profesional Básica"},      {"CFM", "Ciclo Formativo de Grado Medio"},
    {"CFS", "Ciclo Formativo de Grado Superior"},
};

constexpr std::string_view kFirst[] = {
    "María",     "José Luis", "Ana Isabel", "Íñigo", "Ángela", "Jesús",  "Begoña",
    "Raúl",      "Lucía",     "Inés",       "Óscar", "Sofía",  "Andrés", "Pilar",
    "Juan José", "Nuria",     "Álvaro",     "Marta", "Rocío",  "Tomás",
};

constexpr std::string_view kLast[] = {
    "García",  "Garrido", "Núñez",     "Pérez",     "Martín",    "Martínez",  "Gómez",  "Sánchez",
    "Muñoz",   "Jiménez", "Álvarez",   "Alonso",    "Domínguez", "Peña",      "Ibáñez", "Castaño",
    "Ordóñez", "López",   "Lozano",    "Fernández", "Fernán",    "Rodríguez", "Romero", "Rubio",
    "Díaz",    "Díez",    "Hernández", "Herrero",   "Moreno",    "Morales",   "Ruiz",   "Ramírez",
    "Ramos",   "Torres",  "Toledo",    "Vázquez",   "Vargas",    "Castillo",  "Cortés", "Santos",
};

constexpr std::string_view kPeriods[] = {
    "1ª hora", "2ª hora", "3ª hora", "Recreo",  "4ª hora", "5ª hora",
    "6ª hora", "Comida",  "7ª hora", "8ª hora", "Reunión", "Tutoría",
};

char Letter(std::size_t n) { return static_cast<char>('A' + n % 26); }

// Whether the two bytes at `at` are a UTF-8 small letter of Latin-1 (à to þ).
bool IsLatin1Small(std::string_view text, std::size_t at) {
  return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == 0xC3 &&
         static_cast<unsigned char>(text[at + 1]) >= 0xA0 &&
         static_cast<unsigned char>(text[at + 1]) != 0xB7 &&
         static_cast<unsigned char>(text[at + 1]) <= 0xBE;
}

}  // namespace

const std::span<const Family> kSubjectFamilies = kSubjects;
const std::span<const Family> kTaskFamilies = kTasks;
const std::span<const Family> kRoomFamilies = kRooms;
const std::span<const Family> kLevelFamilies = kLevels;
const std::span<const std::string_view> kFirstNames = kFirst;
const std::span<const std::string_view> kSurnames = kLast;
const std::span<const std::string_view> kPeriodNames = kPeriods;

std::string FamilyPrefix(std::span<const Family> pool, std::size_t j, char tag) {
  if (j < pool.size()) return std::string(pool[j].prefix);
  const std::size_t n = j - pool.size();
  return {Letter(n), Letter(n / 26), Letter(n / (26 * 26)), tag};
}

std::string FamilyName(std::span<const Family> pool, std::size_t j) {
  std::string name(pool[j % pool.size()].name);
  if (j >= pool.size()) name.append(" ").append(std::to_string(j / pool.size() + 1));
  return name;
}

std::string Initials(std::string_view first_name) {
  std::string initials;
  bool word_start = true;
  for (std::size_t i = 0; i < first_name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(first_name[i]);
    if (c == ' ') {
      word_start = true;
      continue;
    }
    if (word_start) {
      initials += first_name[i];
      if (c >= 0xC0 && i + 1 < first_name.size()) initials += first_name[i + 1];
    }
    word_start = false;
  }
  return Capitals(initials);
}

std::string Capitals(std::string_view surname) {
  std::string out;
  for (std::size_t i = 0; i < surname.size(); ++i) {
    if (IsLatin1Small(surname, i)) {
      out += surname[i];
      out += static_cast<char>(surname[++i] - 0x20);
    } else {
      out += static_cast<char>(std::toupper(static_cast<unsigned char>(surname[i])));
    }
  }
  return out;
}

}  // namespace tvb::bench
