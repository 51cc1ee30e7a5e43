/* Windows stand-in title replacer, the same contract as the native one. Called as
 *   halbrine.exe -i <screen bitmap> -o <output folder> -lang <code> -bin <tool folder>
 * When -i is an uncompressed 256 x 192 bitmap of 8 bits per pixel it writes R<code>000.BIN
 * into the output folder (the code, then the pixel bytes) and returns 0, else 2.
 *
 * Environment (Windows paths):
 *   HALBRINE_CONTROL  control file: "sleep <ms>" or "crash" (an unhandled exception)
 *                     before the work, optionally "[xx] "
 *   HALBRINE_RECORD   folder; run-<n>.txt (cwd, arguments, then "opened"/"missing" per
 *                     file and folder) and run-<n>.bmp (a copy of the -i file). */
#include "WinStandin.h"

#include <stdlib.h>
#include <wchar.h>

static unsigned U32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((unsigned)p[3] << 24);
}

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* input = WsArgument(argc, argv, L"-i");
    const wchar_t* folder = WsArgument(argc, argv, L"-o");
    const wchar_t* code = WsArgument(argc, argv, L"-lang");
    WsStartRecord("HALBRINE_RECORD", argc, argv, FALSE);
    WsCopyBeside(input, L".bmp");
    WsCheckFolder(WsArgument(argc, argv, L"-bin"));

    int count = 0;
    wchar_t** lines = WsControlLines("HALBRINE_CONTROL", &count);
    for (int i = 0; i < count; ++i)
    {
        const wchar_t* line = WsForCode(lines[i], code ? code : L"");
        if (line && wcsncmp(line, L"sleep ", 6) == 0)
            Sleep(wcstoul(line + 6, NULL, 10));
        else if (line && wcscmp(line, L"crash") == 0)
            WsCrash();
    }

    DWORD size = 0;
    unsigned char* bytes = input ? (unsigned char*)WsReadFile(input, &size) : NULL;
    if (!bytes || !code || !WsCheckFolder(folder) || size < 54 || bytes[0] != 'B' ||
        bytes[1] != 'M')
        return 2;
    const unsigned offset = U32(bytes + 10);
    if (U32(bytes + 18) != 256 || U32(bytes + 22) != 192 || (bytes[28] | (bytes[29] << 8)) != 8 ||
        U32(bytes + 30) != 0 || offset > size || size - offset < 256 * 192)
        return 2;

    const size_t codeLength = wcslen(code);
    unsigned char* out = malloc(codeLength + 256 * 192);
    for (size_t i = 0; i < codeLength; ++i)
        out[i] = (unsigned char)code[i];
    memcpy(out + codeLength, bytes + offset, 256 * 192);
    wchar_t name[32];
    swprintf(name, 32, L"R%ls000.BIN", code);
    wchar_t* path = WsJoin(folder, name);
    const BOOL ok = WsWriteFile(path, out, (DWORD)(codeLength + 256 * 192));
    free(path);
    free(out);
    free(bytes);
    return WsExitCode(ok ? 0 : 2);
}
