#include "TOVKContEdit/ui/AboutBox.h"

#include "TOVKContEdit/res/resource.h"

AboutIds ContEditAboutIds()
{
    return {.dialog = IDD_ABOUTBOX,
            .fontFace = IDS_LIST_FONT_FACE,
            .caption = IDS_ABOUT_CAPTION,
            .productText = IDS_APP_TITLE,
            .versionText = IDS_ABOUT_VERSION,
            .copyrightText = IDS_ABOUT_COPYRIGHT,
            .okText = IDS_DIALOG_OK,
            .versionFormat = IDS_VERSION_FORMAT,
            .productStatic = IDC_ABOUT_PRODUCT,
            .versionStatic = IDC_ABOUT_VERSION,
            .copyrightStatic = IDC_ABOUT_COPYRIGHT};
}
