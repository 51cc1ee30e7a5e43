#pragma once
// The dialog-unit layout of the hub's templates ("MS UI Gothic" 9).
#include "framework/DialogLayout.h"

DialogLayout HubLayout();
