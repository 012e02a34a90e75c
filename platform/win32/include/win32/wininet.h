// WinINet's URL reader, on libcurl: open a session, open a URL (the request is
// sent and the answer's headers read), query the answer's headers, read the body,
// close. Every handle is a kernel object of the layer; each opened URL is one
// transfer of its own.
#pragma once

#include "win32/base.h"

typedef LPVOID HINTERNET;
typedef WORD INTERNET_PORT;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_OPEN_TYPE_PROXY 3

#define INTERNET_FLAG_RELOAD 0x80000000u
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000u
#define INTERNET_FLAG_NO_AUTO_REDIRECT 0x00200000u
#define INTERNET_FLAG_PRAGMA_NOCACHE 0x00000100u
#define INTERNET_FLAG_SECURE 0x00800000u

#define HTTP_QUERY_CONTENT_LENGTH 5
#define HTTP_QUERY_CONTENT_TYPE 1
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_STATUS_TEXT 20
#define HTTP_QUERY_LOCATION 33
#define HTTP_QUERY_FLAG_NUMBER 0x20000000u

#define ERROR_INTERNET_TIMEOUT 12002L
#define ERROR_INTERNET_INTERNAL_ERROR 12004L
#define ERROR_INTERNET_INVALID_URL 12005L
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006L
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007L
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018L
#define ERROR_INTERNET_CANNOT_CONNECT 12029L
#define ERROR_INTERNET_CONNECTION_ABORTED 12030L
#define ERROR_INTERNET_CONNECTION_RESET 12031L
#define ERROR_INTERNET_INVALID_OPTION 12009L
#define ERROR_HTTP_HEADER_NOT_FOUND 12150L
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152L
#define ERROR_HTTP_REDIRECT_FAILED 12156L

// `agent` is sent as the User-Agent value, as given.
HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass,
                        DWORD flags);
#define InternetOpen InternetOpenW
// Sends the request and returns once the answer's headers are in (any status);
// null when no answer came. `headers` are extra request lines, separated by CR LF;
// a length of (DWORD)-1 means NUL-terminated. Redirects are followed unless
// INTERNET_FLAG_NO_AUTO_REDIRECT is given.
HINTERNET InternetOpenUrlW(HINTERNET session, LPCWSTR url, LPCWSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR context);
#define InternetOpenUrl InternetOpenUrlW
// Fills `buffer` until `toRead` bytes or the end of the body; TRUE with 0 bytes at
// the end. FALSE when the transfer broke off (connection lost, body shorter than
// announced, time-out).
BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD toRead, LPDWORD read);
BOOL InternetCloseHandle(HINTERNET handle);
// Text answers are wide, `*length` in bytes (without the NUL on success, the
// needed size with it on ERROR_INSUFFICIENT_BUFFER). With HTTP_QUERY_FLAG_NUMBER
// the answer is one DWORD.
BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD length,
                    LPDWORD index);
#define HttpQueryInfo HttpQueryInfoW

#define INTERNET_OPTION_URL 34
// INTERNET_OPTION_URL of an opened URL: the address its answer came from, after any
// redirects, as wide text; `*length` in bytes as for HttpQueryInfoW.
BOOL InternetQueryOptionW(HINTERNET handle, DWORD option, LPVOID buffer, LPDWORD length);
#define InternetQueryOption InternetQueryOptionW
