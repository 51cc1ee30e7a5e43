#pragma once
// Resource ids of the hub.

// Project model: language codes and names, content paths, the save question.
constexpr unsigned IDS_LANGUAGE_CODE_FIRST = 1009; // "JP" .. "DU", nine in language order
constexpr unsigned IDS_PATH_JOIN = 1018;
constexpr unsigned IDS_CONTENT_SEARCH = 1019;
constexpr unsigned IDS_CONTENT_FILE = 1020;
constexpr unsigned IDS_QUERY_FILE = 1021;
constexpr unsigned IDS_LANGUAGE_NAME_FIRST = 1026; // "日本語" .. "オランダ語"
constexpr unsigned IDS_SAVE_MODIFIED = 2000;
