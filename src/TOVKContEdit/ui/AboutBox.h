#pragma once
// The shared About box with the content editor's ids: statics for the product name, the
// version line and the copyright, each with its template text.
#include "framework/AboutDlg.h"

AboutIds ContEditAboutIds();
