// Helpers of the Windows tests of the folder chooser, install folder, word
// base, configuration file and shortcuts: scratch folders and files, the
// glyph font; the dialog watchers come with it (tests/support/).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/dialog_watcher.h"

// A fresh folder "<temp>\<tag>-<pid>" (created; an old one is removed first).
std::string MakeScratchFolder(const std::string& tag);
// Deletes a folder and everything in it, read-only and hidden files included.
void RemoveTree(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
bool IsEmptyFolder(const std::string& path);
// Sets a file's attributes (FILE_ATTRIBUTE_*); 0 stands for normal.
void SetAttributes(const std::string& path, DWORD attributes);

// Sets appInstance and loads the glyph font of the test payload (once).
bool EnsureTestGlyphFont();
