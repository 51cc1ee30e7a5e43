#pragma once
// The hub's version block, installed by main.
#include "platform/VersionInfo.h"

const VersionBlock& OstrelinVersionBlock();
