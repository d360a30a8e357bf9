#pragma once
// Opening a file with a chosen application. An application is named by the identifier of its
// desktop entry ("org.example.Viewer" for org.example.Viewer.desktop), looked up in the
// "applications" folders of $XDG_DATA_HOME and $XDG_DATA_DIRS; the file goes in the place of the
// entry's file field code (%f, %F, %u or %U) or after its command.
#include <string>
#include <vector>

class Workspace {
 public:
  // Starts the application on the file without waiting for it; false when the file does not
  // exist, no usable entry has that identifier, or the program could not be started.
  static bool openFile(const std::string& path, const std::string& applicationId);

  // The entry file of an identifier; empty when none is found.
  static std::string desktopEntryPath(const std::string& applicationId);
  // The command line of an entry's Exec value for one file: program first. Empty when the value
  // is empty or malformed (an unclosed quote).
  static std::vector<std::string> commandForFile(const std::string& exec, const std::string& path);
};
