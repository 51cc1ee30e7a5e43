#include "Ostrelin/ui/AboutBox.h"

#include "Ostrelin/res/resource.h"

namespace
{
// The hub's template leaves the version and copyright statics without texts of their own.
AboutIds HubAboutIds()
{
    return {.dialog = IDD_ABOUTBOX,
            .fontFace = IDS_DIALOG_FONT_FACE,
            .caption = IDS_ABOUT_CAPTION,
            .productText = IDS_APP_TITLE,
            .versionText = 0,
            .copyrightText = 0,
            .okText = IDS_DIALOG_OK,
            .versionFormat = IDS_VERSION_FORMAT,
            .productStatic = IDC_ABOUT_PRODUCT,
            .versionStatic = IDC_ABOUT_VERSION,
            .copyrightStatic = IDC_ABOUT_COPYRIGHT};
}
} // namespace

CHubAboutDlg::CHubAboutDlg(QWidget* parent) : CAboutDlg(parent, HubAboutIds()) {}
