#include "import/import_run.h"

namespace tvb {
Path ResultPathFor(const Path& document) {
  return document.parent_path() / ("ResultadoTovira" + document.filename().string());
}
ImportReport ImportarDocumento(FileSystem&, const Path&, const Path&) { throw Error("pendiente"); }
}  // namespace tvb
