#include "WinStandin.h"

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

static wchar_t g_record[MAX_PATH * 2];
static BOOL g_writeFailed = FALSE;

static BOOL Checked(BOOL done)
{
    if (!done)
        g_writeFailed = TRUE;
    return done;
}

int WsExitCode(int code)
{
    return code == 0 && g_writeFailed ? WS_WRITE_FAILED : code;
}

/* The write, the flush and the close of an open file; the handle is closed in any case. */
static BOOL WriteAndClose(HANDLE file, const void* bytes, DWORD size)
{
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, size, &written, NULL) && written == size;
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    return Checked(ok);
}

const wchar_t* WsArgument(int argc, wchar_t** argv, const wchar_t* name)
{
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (wcscmp(argv[i], name) == 0)
            return argv[i + 1];
    }
    return NULL;
}

static void Append(const wchar_t* path, const char* bytes, DWORD size)
{
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
    {
        Checked(FALSE);
        return;
    }
    WriteAndClose(file, bytes, size);
}

static char* Utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    char* bytes = malloc(size > 0 ? size : 1);
    bytes[0] = 0;
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, size, NULL, NULL);
    return bytes;
}

void WsNote(const char* tag, const wchar_t* text)
{
    if (!g_record[0])
        return;
    wchar_t path[MAX_PATH * 2 + 8];
    swprintf(path, sizeof path / sizeof path[0], L"%ls.txt", g_record);
    char* utf8 = Utf8(text);
    const size_t size = strlen(tag) + strlen(utf8) + 3;
    char* line = malloc(size);
    snprintf(line, size, "%s\t%s\n", tag, utf8);
    Append(path, line, (DWORD)strlen(line));
    free(line);
    free(utf8);
}

void WsStartRecord(const char* variable, int argc, wchar_t** argv, BOOL program)
{
    wchar_t folder[MAX_PATH];
    wchar_t name[32];
    wchar_t variableW[64];
    MultiByteToWideChar(CP_ACP, 0, variable, -1, variableW, 64);
    const DWORD length = GetEnvironmentVariableW(variableW, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    WsMakeFolders(folder);
    for (int n = 1;; ++n)
    {
        swprintf(name, 32, L"run-%d.txt", n);
        wchar_t* path = WsJoin(folder, name);
        const BOOL taken = GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
        free(path);
        if (!taken)
        {
            swprintf(name, 32, L"run-%d", n);
            wchar_t* base = WsJoin(folder, name);
            wcsncpy(g_record, base, sizeof g_record / sizeof g_record[0] - 1);
            free(base);
            break;
        }
    }
    if (program)
    {
        const wchar_t* slash = wcsrchr(argv[0], L'\\');
        WsNote("program", slash ? slash + 1 : argv[0]);
    }
    wchar_t cwd[MAX_PATH * 2];
    GetCurrentDirectoryW(MAX_PATH * 2, cwd);
    WsNote("cwd", cwd);
    for (int i = 1; i < argc; ++i)
        WsNote("arg", argv[i]);
}

const wchar_t* WsRecordBase(void)
{
    return g_record;
}

void WsCopyBeside(const wchar_t* path, const wchar_t* suffix)
{
    if (!g_record[0] || !path)
        return;
    wchar_t target[MAX_PATH * 2 + 32];
    swprintf(target, sizeof target / sizeof target[0], L"%ls%ls", g_record, suffix);
    Checked(CopyFileW(path, target, FALSE));
}

char* WsReadFile(const wchar_t* path, DWORD* size)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
    {
        WsNote("missing", path);
        return NULL;
    }
    const DWORD length = GetFileSize(file, NULL);
    char* bytes = malloc(length + 2);
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes, length, &read, NULL) && read == length;
    CloseHandle(file);
    if (!ok)
    {
        free(bytes);
        WsNote("missing", path);
        return NULL;
    }
    bytes[length] = bytes[length + 1] = 0;
    *size = length;
    WsNote("opened", path);
    return bytes;
}

BOOL WsCheckFolder(const wchar_t* path)
{
    const DWORD attributes = path ? GetFileAttributesW(path) : INVALID_FILE_ATTRIBUTES;
    const BOOL folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    WsNote(folder ? "opened" : "missing", path ? path : L"");
    return folder;
}

BOOL WsWriteFile(const wchar_t* path, const void* bytes, DWORD size)
{
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return Checked(FALSE);
    return WriteAndClose(file, bytes, size);
}

void WsMakeFolders(const wchar_t* path)
{
    wchar_t* copy = _wcsdup(path);
    for (wchar_t* p = copy + 1; *p; ++p)
    {
        if ((*p == L'\\' || *p == L'/') && p[-1] != L':')
        {
            const wchar_t keep = *p;
            *p = 0;
            CreateDirectoryW(copy, NULL);
            *p = keep;
        }
    }
    CreateDirectoryW(copy, NULL);
    free(copy);
}

wchar_t* WsReadXml(const wchar_t* path)
{
    DWORD size = 0;
    char* bytes = WsReadFile(path, &size);
    if (!bytes)
        return NULL;
    const BOOL bom =
        size >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE;
    const DWORD skip = bom ? 2 : 0;
    const DWORD units = (size - skip) / 2;
    wchar_t* text = malloc((units + 1) * sizeof(wchar_t));
    memcpy(text, bytes + skip, units * sizeof(wchar_t));
    text[units] = 0;
    free(bytes);
    return text;
}

static wchar_t* Unescape(const wchar_t* begin, const wchar_t* end)
{
    static const struct
    {
        const wchar_t* entity;
        wchar_t c;
    } entities[] = {
        {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
    wchar_t* text = malloc((end - begin + 1) * sizeof(wchar_t));
    wchar_t* out = text;
    while (begin < end)
    {
        BOOL done = FALSE;
        for (size_t i = 0; i < sizeof entities / sizeof entities[0] && !done; ++i)
        {
            const size_t n = wcslen(entities[i].entity);
            if ((size_t)(end - begin) >= n && wcsncmp(begin, entities[i].entity, n) == 0)
            {
                *out++ = entities[i].c;
                begin += n;
                done = TRUE;
            }
        }
        if (!done)
            *out++ = *begin++;
    }
    *out = 0;
    return text;
}

BOOL WsNextBlock(const wchar_t** from, const wchar_t* name, const wchar_t** begin,
                 const wchar_t** end)
{
    wchar_t open[128];
    wchar_t empty[128];
    wchar_t close[128];
    swprintf(open, 128, L"<%ls>", name);
    swprintf(empty, 128, L"<%ls/>", name);
    swprintf(close, 128, L"</%ls>", name);
    const wchar_t* full = wcsstr(*from, open);
    const wchar_t* bare = wcsstr(*from, empty);
    if (bare && (!full || bare < full))
    {
        *begin = *end = bare + wcslen(empty);
        *from = *end;
        return TRUE;
    }
    if (!full)
        return FALSE;
    *begin = full + wcslen(open);
    const wchar_t* stop = wcsstr(*begin, close);
    if (!stop)
        return FALSE;
    *end = stop;
    *from = stop + wcslen(close);
    return TRUE;
}

wchar_t* WsNextElement(const wchar_t* text, const wchar_t** from, const wchar_t* end,
                       const wchar_t* name)
{
    (void)text;
    const wchar_t* cursor = *from;
    const wchar_t* begin = NULL;
    const wchar_t* stop = NULL;
    if (!WsNextBlock(&cursor, name, &begin, &stop) || (end && stop > end))
        return NULL;
    *from = cursor;
    return Unescape(begin, stop);
}

wchar_t** WsControlLines(const char* variable, int* count)
{
    *count = 0;
    wchar_t variableW[64];
    wchar_t path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, variable, -1, variableW, 64);
    const DWORD length = GetEnvironmentVariableW(variableW, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return NULL;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    const DWORD size = GetFileSize(file, NULL);
    char* bytes = malloc(size + 1);
    DWORD read = 0;
    ReadFile(file, bytes, size, &read, NULL);
    CloseHandle(file);
    bytes[read] = 0;
    const int units = MultiByteToWideChar(CP_UTF8, 0, bytes, -1, NULL, 0);
    wchar_t* text = malloc(units * sizeof(wchar_t));
    MultiByteToWideChar(CP_UTF8, 0, bytes, -1, text, units);
    free(bytes);
    wchar_t** lines = malloc((units + 1) * sizeof(wchar_t*));
    wchar_t* line = text;
    while (*line)
    {
        wchar_t* next = wcschr(line, L'\n');
        if (next)
            *next = 0;
        size_t n = wcslen(line);
        while (n > 0 && (line[n - 1] == L'\r' || line[n - 1] == L' '))
            line[--n] = 0;
        lines[(*count)++] = line;
        if (!next)
            break;
        line = next + 1;
    }
    return lines;
}

const wchar_t* WsForCode(const wchar_t* line, const wchar_t* code)
{
    if (line[0] != L'[')
        return line;
    const wchar_t* close = wcschr(line, L']');
    if (!close || (size_t)(close - line - 1) != wcslen(code) ||
        _wcsnicmp(line + 1, code, close - line - 1) != 0)
        return NULL;
    const wchar_t* command = close + 1;
    while (*command == L' ')
        ++command;
    return command;
}

void WsPrintLine(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
    char* bytes = malloc(size + 1);
    WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, size, NULL, NULL);
    bytes[size - 1] = '\n';
    DWORD written = 0;
    Checked(WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, size, &written, NULL) &&
            written == (DWORD)size);
    free(bytes);
}

wchar_t* WsJoin(const wchar_t* folder, const wchar_t* name)
{
    const size_t size = wcslen(folder) + wcslen(name) + 2;
    wchar_t* path = malloc(size * sizeof(wchar_t));
    const size_t n = wcslen(folder);
    swprintf(path, size, (n > 0 && folder[n - 1] == L'\\') ? L"%ls%ls" : L"%ls\\%ls", folder, name);
    return path;
}

void WsCrash(void)
{
    volatile int* nowhere = NULL;
    *nowhere = 1;
}
