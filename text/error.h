// The project's error types. Every error carries a complete message for the user,
// in Spanish and UTF-8, naming what failed and which file, list, record, table or
// field is at fault. Errors are thrown by the core and caught only by the front ends.
#pragma once

#include <stdexcept>
#include <string>

namespace tvb {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// The chosen document does not exist: the front ends show "No existe archivo".
class MissingFileError : public Error {
 public:
  MissingFileError() : Error("No existe archivo") {}
};

// A text that the toolkit integer conversion does not accept.
class ConversionError : public Error {
 public:
  using Error::Error;
};

}  // namespace tvb
