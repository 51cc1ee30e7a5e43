#pragma once
// A folder only its user can open, for files other users must not read or replace.
#include <QString>

// Makes `folder` with mode 0700 unless it exists; true when it is then a real folder (not a
// link) owned by the user and closed to others (an existing one open to others is closed).
// False when it cannot be made or is not safe.
bool MakePrivateFolder(const QString& folder);
