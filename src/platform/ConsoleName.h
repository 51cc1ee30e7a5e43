#pragma once
// A file name as a console message shows it: characters that a terminal would act on
// instead of showing (control characters, line separators, direction overrides) and bytes
// that are no text become escapes in the notation of `ls -b` ("\n", "\033", "\377"), and a
// backslash is doubled, so the line cannot move the cursor or retitle the window and reads
// back unambiguously. The file itself is still opened by the name's own bytes.
#include <QString>
#include <QStringView>

QString ConsoleName(QStringView name);
