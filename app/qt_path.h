// Paths between Qt's text and the core's file paths.
#pragma once

#include <QFile>
#include <QString>

#include "files/file_system.h"

namespace tvb::app {

inline Path ToPath(const QString& name) {
#ifdef _WIN32
  return Path(name.toStdWString());
#else
  return Path(QFile::encodeName(name).toStdString());
#endif
}

inline QString ToQString(const Path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.wstring());
#else
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
#endif
}

}  // namespace tvb::app
