#pragma once
// The files of the tool archive, shared by the editors and the archive builder: no Qt here.
#include <array>

// Relative paths below the tool folder, in archive order.
inline constexpr std::array<const char*, 10> ToolFileTable = {
    "exe/ordle.dll",
    "exe/brestal.ini",
    "exe/zulmet.exe",
    "exe/prandle.exe",
    "exe/vltcomp.exe",
    "exe/xerces-c_2_8.dll",
    "files/tovk_cn_all_16x18.VFTR",
    "files/tovk_eu_all_16x18.VFTR",
    "files/tovk_jp_all_16x18.VFTR",
    "files/tovk_kr_all_16x18.VFTR",
};
// Its two subfolders, made in this order.
inline constexpr std::array<const char*, 2> ToolSubfolderTable = {"exe", "files"};
