#include "tables/table_directory.h"

#include <cstdlib>

namespace tvb {

Path DefaultTableDirectory() {
#ifdef _WIN32
  if (const char* dir = std::getenv("VTEMP_DIR"); dir != nullptr && *dir != '\0') return dir;
  return Path("C:\\VTEMP");
#else
  if (const char* dir = std::getenv("VTEMP_DIR"); dir != nullptr && *dir != '\0') return dir;
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
    return Path(prefix) / "drive_c" / "VTEMP";
  }
  const char* home = std::getenv("HOME");
  return Path(home != nullptr ? home : ".") / ".wine" / "drive_c" / "VTEMP";
#endif
}

Path DialogStartDirectory(const Path& tables) { return tables / "brivo"; }

}  // namespace tvb
