// Reads a shell link file back through the shell's own link object.
#pragma once

#include <string>

struct LinkFacts {
  bool loaded = false;
  std::string path, description, workingDirectory, iconPath;
  int iconIndex = -1;
};

LinkFacts ReadShellLink(const std::string& linkPath);
