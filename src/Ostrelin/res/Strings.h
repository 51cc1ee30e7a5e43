#pragma once
// The hub's string table, installed by main.
#include "platform/Strings.h"

const StringTable& OstrelinStringsJA();
