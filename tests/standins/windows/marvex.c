/* Windows stand-in converter, the same contract as the native one. Called as
 *   marvex.exe -i <content xml> -opath <output folder> -binpath <tool folder>
 * It opens the input and every picture and voice it names, checks the tool folder, writes
 * C<CODE><NNNNN>.bin per ContentInfo record into -opath and follows its control file.
 *
 * Environment (Windows paths):
 *   MARVEX_CONTROL  control file, one command a line, optionally "[xx] " for language xx:
 *                   "print <text>" (on standard output, in the ANSI code page),
 *                   "sleep <ms>", "exit <code>", "crash" (an unhandled exception; files
 *                   already written stay)
 *                   Without an exit command it ends with 0 when it wrote every data file, else
 *                   with 2 after printing "ABORTED!!"; with 3 when another write failed.
 *   MARVEX_RECORD   folder; run-<n>.txt (cwd, arguments, then "opened"/"missing" per
 *                   file) and run-<n>.xml (a copy of the input). */
#include "WinStandin.h"

#include <stdlib.h>
#include <wchar.h>

static BOOL WriteData(const wchar_t* folder, const wchar_t* code, int n, unsigned work,
                      const wchar_t* text)
{
    unsigned char bytes[0xC4] = {0};
    memcpy(bytes, "CBIN", 4);
    for (int b = 0; b < 4; ++b)
        bytes[0x0C + b] = (unsigned char)(work >> (8 * b));
    for (size_t u = 0; u < wcslen(text) && u < 80; ++u)
    {
        bytes[0x24 + 2 * u] = (unsigned char)(text[u] & 0xFF);
        bytes[0x24 + 2 * u + 1] = (unsigned char)(text[u] >> 8);
    }
    wchar_t name[32];
    swprintf(name, 32, L"C%ls%05d.bin", code, n);
    wchar_t* path = WsJoin(folder, name);
    const BOOL ok = WsWriteFile(path, bytes, sizeof bytes);
    free(path);
    return ok;
}

static BOOL Convert(const wchar_t* input, const wchar_t* folder, const wchar_t* code)
{
    wchar_t* xml = WsReadXml(input);
    if (!xml)
        return FALSE;
    BOOL ok = TRUE;
    int n = 0;
    const wchar_t* from = xml;
    const wchar_t* begin = NULL;
    const wchar_t* end = NULL;
    while (WsNextBlock(&from, L"ContentInfo", &begin, &end))
    {
        const wchar_t* at = begin;
        wchar_t* number = WsNextElement(xml, &at, end, L"nProductNo");
        for (int i = 0; i < 3; ++i)
        {
            static const wchar_t* files[] = {L"strProductImg1", L"strProductImg2",
                                             L"strProductWav"};
            at = begin;
            wchar_t* path = WsNextElement(xml, &at, end, files[i]);
            DWORD size = 0;
            char* bytes = path && path[0] ? WsReadFile(path, &size) : NULL;
            ok = ok && (!path || !path[0] || bytes);
            free(bytes);
            free(path);
        }
        at = begin;
        wchar_t* text = WsNextElement(xml, &at, end, L"strProductTxt");
        const wchar_t* shown = text ? text : L"";
        const size_t length = wcslen(shown);
        if (length >= 2 && shown[0] == L'"' && shown[length - 1] == L'"')
        {
            text[length - 1] = 0;
            ++shown;
        }
        ok =
            WriteData(folder, code, ++n, number ? (unsigned)wcstoul(number, NULL, 10) : 0, shown) &&
            ok;
        free(number);
        free(text);
    }
    free(xml);
    return ok;
}

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* input = WsArgument(argc, argv, L"-i");
    const wchar_t* folder = WsArgument(argc, argv, L"-opath");
    const wchar_t* tools = WsArgument(argc, argv, L"-binpath");
    WsStartRecord("MARVEX_RECORD", argc, argv, FALSE);
    WsCopyBeside(input, L".xml");

    wchar_t code[16] = L"";
    if (folder)
    {
        const wchar_t* slash = wcsrchr(folder, L'\\');
        wcsncpy(code, slash ? slash + 1 : folder, 15);
        _wcsupr(code);
    }
    WsCheckFolder(tools);
    const BOOL converted = input && folder && WsCheckFolder(folder) && Convert(input, folder, code);
    if (!converted)
        WsPrintLine(L"ABORTED!!");

    int count = 0;
    wchar_t** lines = WsControlLines("MARVEX_CONTROL", &count);
    for (int i = 0; i < count; ++i)
    {
        const wchar_t* line = WsForCode(lines[i], code);
        if (!line)
            continue;
        if (wcsncmp(line, L"print ", 6) == 0)
            WsPrintLine(line + 6);
        else if (wcsncmp(line, L"sleep ", 6) == 0)
            Sleep(wcstoul(line + 6, NULL, 10));
        else if (wcsncmp(line, L"exit ", 5) == 0)
            return _wtoi(line + 5);
        else if (wcscmp(line, L"crash") == 0)
            WsCrash();
    }
    return WsExitCode(converted ? 0 : 2);
}
