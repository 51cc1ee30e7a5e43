/* What the Windows stand-ins share. They run under Wine and do everything through the
 * Windows API, as the real tools do: the record of the call, files opened and written with
 * CreateFileW, the XML files the tool set writes (UTF-16LE) and the control file. */
#pragma once
#include <windows.h>

/* The argument after `name`; NULL when the name is missing or last. */
const wchar_t* WsArgument(int argc, wchar_t** argv, const wchar_t* name);

/* Starts the record of this call in the folder the environment variable names (a Windows
 * path; nothing is recorded when it is unset): "run-<n>.txt" with "program\t<file name>"
 * when `program` is set, "cwd\t<current folder>" and "arg\t<argument>" per argument after
 * the program, UTF-8, one a line. WsRecordBase gives "<folder>\run-<n>" ("" without one). */
void WsStartRecord(const char* variable, int argc, wchar_t** argv, BOOL program);
const wchar_t* WsRecordBase(void);
/* Appends "<tag>\t<text>\n" to the record. */
void WsNote(const char* tag, const wchar_t* text);
/* Copies a file beside the record as "<base><suffix>". */
void WsCopyBeside(const wchar_t* path, const wchar_t* suffix);

/* The whole file, read through CreateFileW; notes "opened\t<path>" or "missing\t<path>".
 * NULL when it cannot be read; free() the result. */
char* WsReadFile(const wchar_t* path, DWORD* size);
/* Notes "opened\t<path>" when the path is a folder, else "missing\t<path>"; TRUE for a
 * folder. */
BOOL WsCheckFolder(const wchar_t* path);
/* Every write of a stand-in (its files, its record, its standard output) is checked, the
 * write, the flush and the close, and a failure is remembered for the exit code: a full disk
 * never passes for a good run. */
BOOL WsWriteFile(const wchar_t* path, const void* bytes, DWORD size);
/* The exit code `code` of a run, WS_WRITE_FAILED in its place when a write failed and the code
 * says nothing went wrong. */
#define WS_WRITE_FAILED 3
int WsExitCode(int code);
/* Creates the folder and its missing parents. */
void WsMakeFolders(const wchar_t* path);

/* An XML file of the tool set as text (UTF-16LE with or without its byte-order mark); NULL
 * when it cannot be read. free() the result. */
wchar_t* WsReadXml(const wchar_t* path);
/* The next element `name` at or after *from: its text with the five entities undone
 * (malloc'd) or NULL when there is none before `end` (NULL: the end of the text); *from
 * moves past it. An empty element gives "". */
wchar_t* WsNextElement(const wchar_t* text, const wchar_t** from, const wchar_t* end,
                       const wchar_t* name);
/* The span of the next element `name` at or after *from: *begin and *end bracket its
 * content; FALSE when there is none. *from moves past it. */
BOOL WsNextBlock(const wchar_t** from, const wchar_t* name, const wchar_t** begin,
                 const wchar_t** end);

/* The lines of the control file the environment variable names (UTF-8), with trailing
 * blanks removed; *count gets their number. NULL without a file. */
wchar_t** WsControlLines(const char* variable, int* count);
/* For a line "[xx] command": the command when xx equals `code` (case ignored), NULL when it
 * does not; a line without a prefix is returned as it is. */
const wchar_t* WsForCode(const wchar_t* line, const wchar_t* code);
/* Writes the text on standard output in the ANSI code page, then a line end. */
void WsPrintLine(const wchar_t* text);
/* Ends the program through an exception nothing handles (a write through a null pointer). */
void WsCrash(void);
/* "<folder>\<name>" (malloc'd). */
wchar_t* WsJoin(const wchar_t* folder, const wchar_t* name);
