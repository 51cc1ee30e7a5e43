#pragma once
// The content editor's two string tables; main installs the one of its build.
#include "platform/Strings.h"

const StringTable& ContEditStringsEN();
const StringTable& ContEditStringsJA();
