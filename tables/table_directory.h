// Where the timetabling program keeps its tables. On Windows C:\VTEMP; elsewhere
// it runs under Wine, where that is $WINEPREFIX/drive_c/VTEMP (WINEPREFIX
// defaulting to ~/.wine). The environment variable VTEMP_DIR overrides both.
#pragma once

#include "files/file_system.h"

namespace tvb {

Path DefaultTableDirectory();

// The directory where the file dialog starts: <table directory>/brivo.
Path DialogStartDirectory(const Path& tables);

}  // namespace tvb
