#pragma once
// The title replacement of the output: each chosen 256 x 64 title picture becomes a
// full-screen 8-bit bitmap (the title over a dark-grey screen) in the user's temporary
// folder, and the title replacer turns it into R<code>000.BIN in the title output folder.
#include "Ostrelin/model/BindData.h"
#include "platform/CommandLine.h"
#include "platform/ToolRun.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

constexpr int kTitleScreenWidth = 256;
constexpr int kTitleScreenHeight = 192;
constexpr int kTitleHeight = 64;
constexpr qsizetype kTitleScreenHeaderSize = 54;
constexpr qsizetype kTitleScreenPixelOffset = 1078;
constexpr qsizetype kTitleScreenBitmapSize = 50230;

// The 50,230 bytes of the screen bitmap for a title picture: palette entry 0 black and
// unused, entry 1 the background grey (50, 50, 50), then the picture's colours in the order
// they first occur (rows from the top, each from the left); rows stored bottom-up.
QByteArray BuildTitleScreenBitmap(const QImage& title);

struct TitleRun
{
    QString titleOutputFolder; // ConvertFolder/output/title/
    QString appFolder;         // the replacer is AppFolder/bin/halbrine
    QString toolFolder;        // the unpacked converter tools, given with -bin
    QString tempFolder;        // where the screen bitmaps go; empty: none can be written
    ToolRunner run = RunTool;
    ToolWait wait; // the pump and the cancel test while a replacer runs
    // Gets the outcome of a Windows replacer that could not run here (no 32-bit loader, or
    // Wine failed to start it); the run stops there, as every later one would fail alike.
    ToolResult* notStarted = nullptr;
};

// Writes the screen bitmap of one language and runs the replacer on it. True only when the
// replacer ended by itself with code 0 and R<code>000.BIN holds something afterwards; the
// old file of the language is removed first, so a stale title is never taken for a new one.
// A replacer that ended otherwise sets *replacerFailed, and what it wrote is removed. A
// replacer stopped by the wait's cancel test sets *cancelled. When the picture, the screen
// bitmap or the old title file stopped it before the replacer, *notWritten tells why.
bool ReplaceTitleForLanguage(const CLanguageSettings& settings, const TitleRun& run, int language,
                             bool* cancelled = nullptr, bool* replacerFailed = nullptr,
                             QString* notWritten = nullptr);

// Every guide language of m_wTitleLanguages whose picture passes the check is replaced, one
// after another once all were checked; the result has bit i for each title file produced.
// A cancel during a replacer ends the run there (*cancelled set, result 0); so does a
// replacer that Wine could not run (run.notStarted set, result 0). *failed gets bit i for
// each language whose replacer failed (see ReplaceTitleForLanguage); *notWritten one line,
// naming the language and the reason, for each title left out before its replacer ran.
quint16 ReplaceTitleImages(const CLanguageSettings& settings, const TitleRun& run,
                           bool* cancelled = nullptr, quint16* failed = nullptr,
                           QStringList* notWritten = nullptr);
