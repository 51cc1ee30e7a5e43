/* Windows stand-in bind tool, the same contract as the native one. Called as
 *   durnap.exe -conf <KPGEditor_Conf.xml> -info <KPGEditor_Info.xml> -out <SD folder>
 * It reads both files, opens every strTitleImg and strResource, and writes the card tree
 * into <SD folder>\private\kp\app\6D2E7A10: TZM00000 with LANG.TXT and the title files, and
 * one TZM<nnnnn> per server with SERVER.TXT and a copy of each data file. Returns 0, or 2
 * when a named file is missing.
 *
 * Environment (Windows paths):
 *   DURNAP_CONTROL  control file, commands run in order; the work runs where "work" stands,
 *                   or first when no line says "work": "sleep <ms>", "work", "exit <code>",
 *                   "crash" (an unhandled exception)
 *   DURNAP_RECORD   folder; run-<n>.txt (cwd, arguments, then "opened"/"missing" per file)
 *                   and run-<n>-conf.xml, run-<n>-info.xml (copies of the two files). */
#include "WinStandin.h"

#include <stdlib.h>
#include <wchar.h>

static BOOL g_complete = TRUE;

static void WriteText(const wchar_t* folder, const wchar_t* name, const wchar_t* text)
{
    wchar_t* path = WsJoin(folder, name);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    char* bytes = malloc(size);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, size, NULL, NULL);
    WsWriteFile(path, bytes, (DWORD)(size - 1));
    free(bytes);
    free(path);
}

static void CopyInto(const wchar_t* file, const wchar_t* folder)
{
    DWORD size = 0;
    char* bytes = WsReadFile(file, &size);
    if (!bytes)
    {
        g_complete = FALSE;
        return;
    }
    const wchar_t* slash = wcsrchr(file, L'\\');
    wchar_t* target = WsJoin(folder, slash ? slash + 1 : file);
    WsWriteFile(target, bytes, size);
    free(target);
    free(bytes);
}

static wchar_t* Child(const wchar_t* begin, const wchar_t* end, const wchar_t* name)
{
    const wchar_t* at = begin;
    return WsNextElement(begin, &at, end, name);
}

static void Add(wchar_t* text, size_t size, const wchar_t* line)
{
    if (text[0])
        wcsncat(text, L"\n", size - wcslen(text) - 1);
    wcsncat(text, line, size - wcslen(text) - 1);
}

static int Work(const wchar_t* confPath, const wchar_t* infoPath, const wchar_t* out)
{
    wchar_t* conf = confPath ? WsReadXml(confPath) : NULL;
    wchar_t* info = infoPath ? WsReadXml(infoPath) : NULL;
    if (!conf || !info || !out)
        return 2;
    wchar_t* root = WsJoin(out, L"private\\kp\\app\\6D2E7A10");
    wchar_t* common = WsJoin(root, L"TZM00000");
    WsMakeFolders(common);

    wchar_t languages[256] = L"";
    const wchar_t* from = conf;
    const wchar_t* begin = NULL;
    const wchar_t* end = NULL;
    while (WsNextBlock(&from, L"BindConfItem", &begin, &end))
    {
        static const wchar_t* names[] = {L"strBaseLanguage", L"strSupportLanguage"};
        for (int i = 0; i < 2; ++i)
        {
            wchar_t* value = Child(begin, end, names[i]);
            if (value && value[0])
                Add(languages, 256, value);
            free(value);
        }
        wchar_t* title = Child(begin, end, L"strTitleImg");
        if (title && title[0])
            CopyInto(title, common);
        free(title);
    }
    WriteText(common, L"LANG.TXT", languages);

    int server = 0;
    wchar_t* folder = NULL;
    from = info;
    while (WsNextBlock(&from, L"BindInfoItem", &begin, &end))
    {
        wchar_t* name = Child(begin, end, L"strName");
        if (name && name[0])
        {
            wchar_t* role = Child(begin, end, L"strRole");
            wchar_t* channel = Child(begin, end, L"nChannel");
            wchar_t sub[16];
            swprintf(sub, 16, L"TZM%05d", ++server);
            free(folder);
            folder = WsJoin(root, sub);
            WsMakeFolders(folder);
            wchar_t text[256] = L"";
            Add(text, 256, name);
            Add(text, 256, role ? role : L"");
            Add(text, 256, channel ? channel : L"");
            WriteText(folder, L"SERVER.TXT", text);
            free(role);
            free(channel);
        }
        free(name);
        wchar_t* resource = Child(begin, end, L"strResource");
        if (resource && resource[0] && folder)
            CopyInto(resource, folder);
        free(resource);
    }
    return g_complete ? 0 : 2;
}

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* confPath = WsArgument(argc, argv, L"-conf");
    const wchar_t* infoPath = WsArgument(argc, argv, L"-info");
    const wchar_t* out = WsArgument(argc, argv, L"-out");
    WsStartRecord("DURNAP_RECORD", argc, argv, FALSE);
    WsCopyBeside(confPath, L"-conf.xml");
    WsCopyBeside(infoPath, L"-info.xml");

    int count = 0;
    wchar_t** lines = WsControlLines("DURNAP_CONTROL", &count);
    BOOL workLine = FALSE;
    for (int i = 0; i < count; ++i)
        workLine = workLine || wcscmp(lines[i], L"work") == 0;
    int result = workLine ? 0 : Work(confPath, infoPath, out);
    for (int i = 0; i < count; ++i)
    {
        if (wcscmp(lines[i], L"work") == 0)
            result = Work(confPath, infoPath, out);
        else if (wcsncmp(lines[i], L"sleep ", 6) == 0)
            Sleep(wcstoul(lines[i] + 6, NULL, 10));
        else if (wcsncmp(lines[i], L"exit ", 5) == 0)
            return _wtoi(lines[i] + 5);
        else if (wcscmp(lines[i], L"crash") == 0)
            WsCrash();
    }
    return WsExitCode(result);
}
