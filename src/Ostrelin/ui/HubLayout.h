#pragma once
// The dialog-unit layout of the hub's templates ("MS UI Gothic" 9).
#include "TOVKContEdit/ui/DialogLayout.h"

DialogLayout HubLayout();
