#pragma once
// The page templates the program carries and writes into the Data folder, and the two
// index pages of the output folder.
#include <QByteArray>
#include <QString>

constexpr unsigned IDR_ENQ_HTML = 110;
constexpr unsigned IDR_ENQ_XSL = 111;
constexpr unsigned IDR_INDEX_JP_TAIL = 112;
constexpr unsigned IDR_INDEX_JP_HEAD = 113;
constexpr unsigned IDR_LOG_HTML = 114;
constexpr unsigned IDR_LOG_XSL = 115;
constexpr unsigned IDR_STYLE_CSS = 116;
constexpr unsigned IDR_COMMON_XSL = 117;
constexpr unsigned IDR_DEFINE_XML = 119;
constexpr unsigned IDR_INDEX_EN_TAIL = 120;
constexpr unsigned IDR_INDEX_EN_HEAD = 121;
// The pages' script, shared by enq.html and log.html.
constexpr unsigned IDR_VIEW_JS = 130;

// The bytes of a resource as they are written out; empty for an unknown id.
QByteArray TemplateBytes(unsigned resourceId);
// The file name a page template is written under ("" for the index halves).
QString TemplateFileName(unsigned resourceId);

// Creates the file (replacing one) and writes the whole resource; "can't open" and
// ErrWrite on failure.
void ExtractTemplate(const QString& path, unsigned resourceId);
// The seven page templates in their order, then the pages' script and the label table's
// script twin, into the Data folder.
void WriteTemplates(const QString& dataFolder);

// One index page with a row per questionnaire report and the access-log row.
bool WriteIndexJp(const QString& path, int count);
bool WriteIndexEn(const QString& path, int count);
