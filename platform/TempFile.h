#pragma once

#include <QString>

namespace Platform {

// The system's temporary folder, without a trailing separator.
QString tempFolder();

// Creates a fresh, empty file in `folder` (the system's temporary folder when empty), named
// the first three characters of `prefix`, a hexadecimal unique part and ".tmp". The file is
// made with exclusive create and owner-only permissions, so no other user can read or
// pre-plant it (on Windows GetTempFileNameW makes it, with up to four hexadecimal digits, and
// the folder's access list rules who may read it). Returns the full path; throws ToolkitError ("ファイル %s を作成できません").
QString createTempFile(const QString& prefix, const QString& folder = {});

}  // namespace Platform
