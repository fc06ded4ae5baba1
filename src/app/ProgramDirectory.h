#pragma once

#include <QString>

namespace pelicard {

// Where the INI files live: the executable's folder where it is writable (a portable install),
// otherwise the user's configuration folder (a system-wide install).
QString ProgramDirectory();

// The INI file name of a meter variant's product id; empty for an unknown id.
QString IniFileName(int productId);

} // namespace pelicard
