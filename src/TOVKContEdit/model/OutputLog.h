#pragma once
// The converter's report: its log "marvex.log" read line by line and rewritten into the
// words of the user's language.
#include <QByteArray>
#include <QString>
#include <optional>

// Lines of the log longer than this many bytes are read in pieces of this size.
constexpr int ConverterLogLineBytes = 4096;

// The report keeps this many lines; one line "..." stands for the rest, which is only looked
// through for the marker, so a log of any length is read in a moment.
constexpr int ConverterReportLines = 1000;

struct ConverterReport
{
    bool aborted = false; // some conversion printed "ABORTED!!"
    QString lines;        // the kept lines, each followed by "\r\n"
    int lineCount = 0;    // of lines, the "..." included
    bool logFound = false;
};

// One log line after the rewriting: nullopt when the line is dropped ("Path" in it, or it
// still names the converter after the replacements). The marker is not looked at here.
std::optional<QString> RewriteConverterLogLine(const QString& line);

// Reads the log bytes into the report: the marker is found in the raw bytes of each line;
// a piece that does not convert from the converter's character set (`encoding` as
// QStringDecoder names it; empty: the locale's) is skipped for the text.
void ReadConverterLog(const QByteArray& bytes, ConverterReport& report,
                      const QByteArray& encoding = {});
// The same from the file; false (and nothing added) when it cannot be read.
bool ReadConverterLogFile(const QString& path, ConverterReport& report,
                          const QByteArray& encoding = {});
