#include "platform/appkit/Workspace.h"

#include <QProcess>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace appkit {

namespace {

Workspace::Launcher& currentLauncher() {
    static Workspace::Launcher launcher;
    return launcher;
}

bool startDetached(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    QStringList arguments;
    for (size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    return QProcess::startDetached(QString::fromStdString(command.front()), arguments);
}

std::vector<fs::path> applicationFolders() {
    std::vector<fs::path> folders;
    const char* home = std::getenv("XDG_DATA_HOME");
    if (home && *home)
        folders.emplace_back(fs::path(home) / "applications");
    else if (const char* user = std::getenv("HOME"))
        folders.emplace_back(fs::path(user) / ".local/share/applications");
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::istringstream list(dirs && *dirs ? dirs : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(list, dir, ':');)
        if (!dir.empty()) folders.emplace_back(fs::path(dir) / "applications");
    return folders;
}

// The value of a key in the [Desktop Entry] group.
std::optional<std::string> entryValue(const fs::path& entry, const std::string& key) {
    std::ifstream in(entry);
    bool inGroup = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inGroup || equals == std::string::npos) continue;
        const size_t nameEnd = line.find_last_not_of(' ', equals - 1);
        if (equals == 0 || nameEnd == std::string::npos || line.substr(0, nameEnd + 1) != key) continue;
        const size_t start = line.find_first_not_of(' ', equals + 1);
        return start == std::string::npos ? std::string() : line.substr(start);
    }
    return std::nullopt;
}

// Splits an Exec value into arguments: blanks separate, double quotes group, and inside quotes a
// backslash escapes the next character.
std::optional<std::vector<std::string>> splitExec(const std::string& exec) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && i + 1 < exec.size())
                word += exec[++i];
            else
                word += c;
        } else if (c == '"') {
            quoted = inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) return std::nullopt;
    if (inWord) words.push_back(word);
    return words;
}

} // namespace

std::string Workspace::desktopEntryPath(const std::string& applicationId) {
    if (applicationId.empty() || applicationId.find('/') != std::string::npos) return {};
    for (const fs::path& folder : applicationFolders()) {
        const fs::path entry = folder / (applicationId + ".desktop");
        std::error_code ec;
        if (fs::is_regular_file(entry, ec)) return entry.string();
    }
    return {};
}

std::vector<std::string> Workspace::commandForFile(const std::string& exec, const std::string& path) {
    const std::optional<std::vector<std::string>> words = splitExec(exec);
    if (!words || words->empty()) return {};
    const std::string url = QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded().toStdString();
    std::vector<std::string> command;
    bool placed = false;
    for (const std::string& word : *words) {
        if (word == "%f" || word == "%F" || word == "%u" || word == "%U") {
            command.push_back(word == "%f" || word == "%F" ? path : url);
            placed = true;
            continue;
        }
        // Field codes this program has no value for are dropped; "%%" is a percent sign.
        std::string expanded;
        for (size_t i = 0; i < word.size(); ++i) {
            if (word[i] == '%' && i + 1 < word.size()) {
                if (word[++i] == '%') expanded += '%';
            } else {
                expanded += word[i];
            }
        }
        if (!expanded.empty()) command.push_back(expanded);
    }
    if (command.empty()) return {};
    if (!placed) command.push_back(path);
    return command;
}

bool Workspace::openFile(const std::string& path, const std::string& applicationId) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    const std::string entry = desktopEntryPath(applicationId);
    if (entry.empty()) return false;
    if (entryValue(entry, "Hidden") == "true") return false;
    const std::optional<std::string> exec = entryValue(entry, "Exec");
    if (!exec) return false;
    return launch(commandForFile(*exec, path));
}

bool Workspace::openURL(const std::string& url) {
    return !url.empty() && launch({"xdg-open", url});
}

bool Workspace::launch(const std::vector<std::string>& command) {
    if (command.empty() || command.front().empty()) return false;
    const Launcher& launcher = currentLauncher();
    return launcher ? launcher(command) : startDetached(command);
}

void Workspace::setLauncher(Launcher launcher) {
    currentLauncher() = std::move(launcher);
}

bool Workspace::isApplicationInstalled(const std::string& applicationId) {
    const std::string entry = desktopEntryPath(applicationId);
    return !entry.empty() && entryValue(entry, "Hidden") != "true" && entryValue(entry, "Exec").has_value();
}

std::vector<Workspace::Application> Workspace::applicationsForImages() {
    std::vector<Application> found;
    std::set<std::string> seen;
    for (const fs::path& folder : applicationFolders()) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path entry = it->path();
            if (entry.extension() != ".desktop") continue;
            const std::string identifier = entry.stem().string();
            // The first folder's entry stands for the identifier, even when it hides it.
            if (!seen.insert(identifier).second) continue;
            if (entryValue(entry, "Hidden") == "true" || entryValue(entry, "NoDisplay") == "true") continue;
            if (entryValue(entry, "Type").value_or("Application") != "Application" ||
                !entryValue(entry, "Exec"))
                continue;
            const std::string types = ";" + entryValue(entry, "MimeType").value_or("");
            const std::optional<std::string> name = entryValue(entry, "Name");
            if (types.find(";image/") == std::string::npos || !name || name->empty()) continue;
            found.push_back({identifier, *name});
        }
    }
    std::sort(found.begin(), found.end(), [](const Application& a, const Application& b) {
        return a.name != b.name ? a.name < b.name : a.identifier < b.identifier;
    });
    return found;
}

} // namespace appkit
