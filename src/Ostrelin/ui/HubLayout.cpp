#include "Ostrelin/ui/HubLayout.h"

#include "Ostrelin/res/resource.h"
#include "platform/Strings.h"

DialogLayout HubLayout()
{
    return DialogLayout(DialogLayout::DialogFont(Strings::Load(IDS_DIALOG_FONT_FACE), 9));
}
