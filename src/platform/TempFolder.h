#pragma once
// The user's temporary folder: a private folder "quorvane-<uid>" below $TMPDIR (default
// /tmp), mode 0700. Empty when it cannot be made or is not safe (a link, another owner,
// open to others).
#include <QString>

QString TempFolder();
