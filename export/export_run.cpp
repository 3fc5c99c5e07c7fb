#include "export/export_run.h"

namespace tvb {
ExportReport ExportarDocumento(FileSystem&, const Path&, const Path&) {
  throw Error("pendiente");
}
}  // namespace tvb
