#pragma once
// What the model needs of the main view: the active document, the project file path and
// the window updates that follow a change. The main view installs itself; tests install
// their own host.
#include <QString>

class CBindData;
class COstrelinDoc;

class CProjectHost
{
public:
    virtual ~CProjectHost();

    virtual COstrelinDoc* GetActiveDocument() = 0;
    // The open project's file path; empty while no project is created or opened.
    virtual QString GetProjectPath() const = 0;
    virtual void UpdateWindowTitle() = 0;
    virtual void UpdateStepStates() = 0;
    // The main view's Save command.
    virtual void OnFileSave() = 0;
};

// Not owned; nullptr removes the host.
void SetProjectHost(CProjectHost* host);
CProjectHost* GetProjectHost();

// The active document's project data; null without a host or document.
CBindData* GetActiveProjectData();
// The open project's file path; empty without a host or a project.
QString GetActiveProjectPath();

// Called by a page after each edit of the project data: marks the document modified,
// revalidates guide entries and servers, retitles the window and recomputes the reachable
// steps. Does nothing while no project file is set.
void OnProjectDataChanged();
