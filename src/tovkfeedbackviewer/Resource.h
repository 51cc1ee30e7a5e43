#pragma once
// The viewer's string table: console messages and report texts.
#include <QString>

constexpr unsigned IDS_JAPANESE = 104;
constexpr unsigned IDS_ENGLISH = 105;
constexpr unsigned IDS_FRENCH = 106;
constexpr unsigned IDS_GERMAN = 107;
constexpr unsigned IDS_ITALIAN = 108;
constexpr unsigned IDS_SPANISH = 109;
constexpr unsigned IDS_CHINESE = 110;
constexpr unsigned IDS_KOREAN = 111;
constexpr unsigned IDS_DUTCH = 112;
constexpr unsigned IDS_SAKUHIN_NO = 113;
constexpr unsigned IDS_CONVERSION_ERROR = 114;
constexpr unsigned IDS_DATE = 115;
constexpr unsigned IDS_TIME = 116;
constexpr unsigned IDS_MAC = 117;
constexpr unsigned IDS_LANGUAGE = 118;
constexpr unsigned IDS_GUIDE_NO = 119;
constexpr unsigned IDS_INFO = 120;
constexpr unsigned IDS_NO_DATA = 121;
constexpr unsigned IDS_WRITE_ERROR = 122;
constexpr unsigned IDS_UNKNOWN_OPTION = 130;
constexpr unsigned IDS_FOLDER_IN_USE = 131;

// The text of a string id; "" for an id the table does not hold.
QString LoadViewerString(unsigned id);
