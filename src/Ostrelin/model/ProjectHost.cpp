#include "Ostrelin/model/ProjectHost.h"

#include "Ostrelin/model/OstrelinDoc.h"

namespace
{
CProjectHost* g_host = nullptr;
}

CProjectHost::~CProjectHost() = default;

void SetProjectHost(CProjectHost* host)
{
    g_host = host;
}

CProjectHost* GetProjectHost()
{
    return g_host;
}

QString GetActiveProjectPath()
{
    return g_host ? g_host->GetProjectPath() : QString();
}

CBindData* GetActiveProjectData()
{
    if (g_host == nullptr)
        return nullptr;
    COstrelinDoc* doc = g_host->GetActiveDocument();
    return doc ? &doc->GetBindData() : nullptr;
}

void OnProjectDataChanged()
{
    if (g_host == nullptr || g_host->GetProjectPath().isEmpty())
        return;
    COstrelinDoc* doc = g_host->GetActiveDocument();
    if (doc == nullptr)
        return;
    doc->SetModifiedFlag(true);
    doc->GetBindData().ValidateAllGuides();
    doc->GetBindData().ValidateAllServers();
    g_host->UpdateWindowTitle();
    g_host->UpdateStepStates();
}
