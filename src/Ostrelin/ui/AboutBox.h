#pragma once
// The shared About box with the hub's ids: statics 1049 (product name),
// 1048 ("Version %d.%d" of string 108) and 1047 (copyright).
#include "framework/AboutDlg.h"

class CHubAboutDlg : public CAboutDlg
{
    Q_OBJECT
public:
    explicit CHubAboutDlg(QWidget* parent = nullptr);
};
