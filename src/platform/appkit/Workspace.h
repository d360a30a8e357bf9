#pragma once
// The desktop's applications, as the system's workspace offers them. An application is named by
// the identifier of its desktop entry ("org.example.Viewer" for org.example.Viewer.desktop),
// looked up in the "applications" folders of $XDG_DATA_HOME and $XDG_DATA_DIRS; the file goes in
// the place of the entry's file field code (%f, %F, %u or %U) or after its command.
//
// Every program is started through one launcher, which tests replace so that nothing is opened.
#include <functional>
#include <string>
#include <vector>

namespace appkit {

class Workspace {
  public:
    // Starts a command (program first, found on PATH) without waiting for it; true when it started.
    using Launcher = std::function<bool(const std::vector<std::string>& command)>;

    struct Application {
        std::string identifier; // the entry's file name without ".desktop"
        std::string name;       // the entry's Name
    };

    // Starts the application on the file without waiting for it; false when the file does not
    // exist, no usable entry has that identifier, or the program could not be started.
    static bool openFile(const std::string& path, const std::string& applicationId);
    // Opens an address with the desktop's handler for it (a web page in the browser).
    static bool openURL(const std::string& url);
    static bool launch(const std::vector<std::string>& command);

    // The entry file of an identifier; empty when none is found.
    static std::string desktopEntryPath(const std::string& applicationId);
    // Whether a usable (not hidden) entry has that identifier.
    static bool isApplicationInstalled(const std::string& applicationId);
    // The applications whose entries open image files and are shown in menus, by name; an
    // identifier found in several folders counts once, from the first folder.
    static std::vector<Application> applicationsForImages();
    // The command line of an entry's Exec value for one file: program first. Empty when the value
    // is empty or malformed (an unclosed quote).
    static std::vector<std::string> commandForFile(const std::string& exec, const std::string& path);

    // A null launcher puts back the one that starts real programs.
    static void setLauncher(Launcher launcher);
};

} // namespace appkit
