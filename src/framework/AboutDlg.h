#pragma once
// The About box (template 100): product name and copyright from the program's version
// block, the version line from the string table.
#include <QDialog>

class QLabel;
class QPushButton;

// The resource ids an About box takes from its program's tables; 0 for a template text
// leaves the static empty.
struct AboutIds
{
    unsigned dialog;      // the template's id, the window's object name
    unsigned fontFace;    // string: the template's font face
    unsigned caption;     // string: the window title
    unsigned productText; // strings: the template texts of the three statics
    unsigned versionText;
    unsigned copyrightText;
    unsigned okText;        // string: the OK button
    unsigned versionFormat; // string: "Version %d.%d"
    unsigned productStatic; // control ids of the three statics
    unsigned versionStatic;
    unsigned copyrightStatic;
};

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    CAboutDlg(QWidget* parent, const AboutIds& ids);

    virtual bool OnInitDialog();
    // OnInitDialog, then modal; IDOK or IDCANCEL.
    int DoModal();

    QLabel* ProductName() const { return m_product; }
    QLabel* VersionText() const { return m_version; }
    QLabel* Copyright() const { return m_copyright; }

private:
    AboutIds m_ids;
    QLabel* m_icon = nullptr;
    QLabel* m_product = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_copyright = nullptr;
    QPushButton* m_ok = nullptr;
};
