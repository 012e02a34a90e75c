// Folder and file tests and creation, on Windows-form paths.
#pragma once

// 1 when the path exists and is a folder; 0 otherwise or for null.
int IsDirExist(const wchar_t* path);
// 1 when the path exists (file or folder); 0 otherwise or for null.
int IsFileExist(const wchar_t* path);
// Creates one folder; 1 (whether or not it was made), 0 for null.
int CreateDir(const wchar_t* path);
// Creates every missing folder along a backslash path; 1, or 0 for null or a path
// longer than 256 characters.
int CreateMultiDir(const wchar_t* path);
// The user's documents folder into `out` (at least 260 characters); unchanged when
// it cannot be found.
void GetMyDocumentPath(wchar_t* out);
// Kept for callers of the library; it has nothing to do.
void SetChromeValue(wchar_t* name, wchar_t* value);
