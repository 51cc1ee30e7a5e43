#pragma once
// The one check of a picture or voice file named in a content cell.
#include <QString>

// column is a ContentColumn; with showMessages the failure is shown in a message box.
bool ValidateContentFile(const QString& path, int column, bool showMessages);
