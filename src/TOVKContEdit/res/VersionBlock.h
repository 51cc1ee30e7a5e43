#pragma once
// The version block of each build of the content editor; main installs the one of its
// build with VersionInfo::Install.
#include "platform/VersionInfo.h"

const VersionBlock& ContEditVersionBlockEN();
const VersionBlock& ContEditVersionBlockJA();
