#pragma once
// Reads the version strings of the program's own file: the block compiled into the
// program, looked up under the language / code-page pairs the program was built with.
#include <QString>
#include <memory>

// What ReadVersionInfo hands out; queried with QueryVersionString.
struct VersionInfoHandle
{
};

// The program's version block; nullptr when the program carries none.
std::unique_ptr<VersionInfoHandle> ReadVersionInfo();

// Looks the key up under 0x041104B0, 0x041103A4 and 0x040904E4, in this order; the first
// hit goes into out. False (out untouched) when none has it or there is no block.
bool QueryVersionString(const QString& key, const VersionInfoHandle* block, QString& out);

void FreeVersionInfo(std::unique_ptr<VersionInfoHandle>& block);
