#pragma once
// The one check of a picture or voice file named in a content cell.
#include <QString>

// column is a ContentColumn: 4 and 5 check a guide picture, 6 a voice; any other column
// passes. With showMessages each failure is shown in a message box.
bool ValidateContentFile(const QString& path, int column, bool showMessages);

// The two checks on their own.
bool ValidateGuideImageFile(const QString& path, int pictureNumber, bool showMessages);
bool ValidateVoiceFile(const QString& path, bool showMessages);
