/* Windows stand-in questionnaire editor, the same contract as the native one except that
 * it hands the saved file over in the registry, as a Windows editor does. Called as
 *   TOVKQueryEditJP.exe -d <convert folder> [<xml file>]
 *
 * Environment (Windows paths):
 *   EDITORSTUB_CONTROL  control file, one command a line:
 *                         query <code>   write output\query\E<CODE>000.bin
 *                         save [<path>]  write the XML file (default: the one given, else
 *                                        input\xml\TOVKQuery.xml) and put its full path in
 *                                        HKCU\Software\Quorvane\KPVantiloq "LastQueryFile"
 *                         sleep <ms>, exit <code>, crash (an unhandled exception)
 *   EDITORSTUB_RECORD   folder; run-<n>.txt ("program", "cwd", "arg" lines, then
 *                       "opened"/"missing" for the -d folder and a given XML file). */
#include "WinStandin.h"

#include <stdlib.h>
#include <wchar.h>

static void Save(const wchar_t* path)
{
    wchar_t full[MAX_PATH * 2];
    if (!GetFullPathNameW(path, MAX_PATH * 2, full, NULL))
        return;
    wchar_t* slash = wcsrchr(full, L'\\');
    if (slash)
    {
        *slash = 0;
        WsMakeFolders(full);
        *slash = L'\\';
    }
    static const char xml[] = "<?xml version=\"1.0\"?>\n<QueryBody/>\n";
    WsWriteFile(full, xml, sizeof xml - 1);
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quorvane\\KPVantiloq", 0, NULL,
                        REG_OPTION_VOLATILE, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, L"LastQueryFile", 0, REG_SZ, (const BYTE*)full,
                   (DWORD)((wcslen(full) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

int wmain(int argc, wchar_t** argv)
{
    WsStartRecord("EDITORSTUB_RECORD", argc, argv, TRUE);
    const wchar_t* convert = WsArgument(argc, argv, L"-d");
    const wchar_t* given = NULL;
    for (int i = 1; i + 2 < argc; ++i)
    {
        if (wcscmp(argv[i], L"-d") == 0)
            given = argv[i + 2];
    }
    WsCheckFolder(convert);
    if (given)
    {
        DWORD size = 0;
        free(WsReadFile(given, &size));
    }

    int count = 0;
    wchar_t** lines = WsControlLines("EDITORSTUB_CONTROL", &count);
    for (int i = 0; i < count; ++i)
    {
        const wchar_t* line = lines[i];
        if (wcsncmp(line, L"query ", 6) == 0 && convert)
        {
            wchar_t code[16];
            wcsncpy(code, line + 6, 15);
            code[15] = 0;
            _wcsupr(code);
            wchar_t* folder = WsJoin(convert, L"output\\query");
            WsMakeFolders(folder);
            wchar_t name[32];
            swprintf(name, 32, L"E%ls000.bin", code);
            wchar_t* path = WsJoin(folder, name);
            WsWriteFile(path, "EBIN", 4);
            free(path);
            free(folder);
        }
        else if (wcsncmp(line, L"save", 4) == 0 && (line[4] == 0 || line[4] == L' '))
        {
            if (line[4] == L' ')
                Save(line + 5);
            else if (given)
                Save(given);
            else if (convert)
            {
                wchar_t* path = WsJoin(convert, L"input\\xml\\TOVKQuery.xml");
                Save(path);
                free(path);
            }
        }
        else if (wcsncmp(line, L"sleep ", 6) == 0)
            Sleep(wcstoul(line + 6, NULL, 10));
        else if (wcsncmp(line, L"exit ", 5) == 0)
            return _wtoi(line + 5);
        else if (wcscmp(line, L"crash") == 0)
            WsCrash();
    }
    return WsExitCode(0);
}
