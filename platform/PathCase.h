// Finds the file a path names when the path's letter case has been lost (markup sources are
// upper-cased, while this system's file names keep their case).
#pragma once

#include <QString>

namespace pathcase {

// `path` itself when it exists; otherwise the existing path whose components equal those of
// `path` ignoring case (the first match in name order at each level); empty when there is none.
QString Resolve(const QString& path);

} // namespace pathcase
