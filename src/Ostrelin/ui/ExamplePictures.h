#pragma once
// The example pictures of the language page (bitmaps 133 and 134): the handheld's screen,
// 256 x 192, with the place of the display language or of the guide languages marked.
#include <QPixmap>

QPixmap ExamplePicture(unsigned bitmapId);
