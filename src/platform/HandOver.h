#pragma once
// The volatile per-user key "KPVantiloq" through which the editors tell the hub which file
// they saved last ("LastContentFile", "LastQueryFile"). Kept in the runtime folder, so it
// is gone after a restart; the folder is private to the user and writes are atomic.
#include <QString>

namespace HandOver
{
// Longest value that can be read back: the reader's buffer holds 512 units with the end mark.
constexpr int MaxValueLength = 511;

// The folder that holds the key ($XDG_RUNTIME_DIR/Quorvane, else /tmp/Quorvane-<uid>),
// created with mode 0700; empty when it is not safe to use.
QString Folder();

// Writes the value (creating the key); false when it cannot be written.
bool SetValue(const QString& name, const QString& value);
// Sets the value to the empty string (creating the key); false when it cannot be written.
bool ClearValue(const QString& name);
// True with the value when the key exists, the value is there and fits the reader's buffer
// (MaxValueLength); false leaves `value` untouched.
bool ReadValue(const QString& name, QString& value);
// The value, or "" when ReadValue fails.
QString GetValue(const QString& name);
} // namespace HandOver
