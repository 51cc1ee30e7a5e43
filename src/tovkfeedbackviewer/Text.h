#pragma once
// Text helpers shared by the questionnaire and access-log reports.
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>

// 1..8 name their language; 0 and every other value give "Japanese".
QString GetLanguageName(unsigned index);
// GetLanguageName of every value of a record's four language bits.
std::array<QString, 16> GetLanguageNames();

// XML text: LF becomes CR LF, CR is dropped, the five markup characters become entities,
// and characters that XML 1.0 cannot carry become U+FFFD so the report always loads.
QString EscapeXml(QStringView text);
void AppendEscapedXml(QString& out, QStringView text);
// CSV text: LF becomes CR LF, CR is dropped, a double quote is doubled.
QString EscapeCsv(QStringView text);
void AppendEscapedCsv(QString& out, QStringView text);
// A TAB when the line is not empty, then the escaped field in double quotes.
void AppendCsvField(QString& line, QStringView field);
void AppendLineEnd(QString& line);

// "20yy/mm/dd", "hh:mm:ss" of a PackedTime, and six "%02X" pairs of a MAC address.
void AppendDate(QString& out, std::uint32_t packedTime);
void AppendTime(QString& out, std::uint32_t packedTime);
void AppendMac(QString& out, const std::uint8_t* mac);
void AppendTwoDigits(QString& out, unsigned value);
void AppendHexByte(QString& out, unsigned value);
void AppendNumber(QString& out, long long value);

// What every record of a report starts with. In XML: the "<table_data no=...>" line, then
// the date, time, MAC and language lines. In CSV: the same four fields, quoted, TAB between.
void AppendXmlRecordStart(QString& out, long long number, std::uint32_t packedTime,
                          const std::uint8_t* mac, QStringView language);
void AppendCsvRecordStart(QString& out, std::uint32_t packedTime, const std::uint8_t* mac,
                          QStringView language);
