#include "platform/appkit/Workspace.h"

#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Points the desktop entry search at folders of the test's own while the result lives.
ScopedEnvironment entryFolders(const std::string& home, const std::string& dirs) {
    return {{"XDG_DATA_HOME", home}, {"XDG_DATA_DIRS", dirs}};
}

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program's output, once it has written it: the program runs on its own.
std::string waitForText(const fs::path& path) {
    for (int i = 0; i < 500 && !fs::exists(path.string() + ".done"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return readText(path);
}

} // namespace

TEST(Workspace, ExecValuesBecomeCommandsForOneFile) {
    struct Case {
        const char* exec;
        std::vector<std::string> command;
    };
    const Case cases[] = {
        {"viewer %f", {"viewer", "/p/a b.jpg"}},
        {"viewer --new %F", {"viewer", "--new", "/p/a b.jpg"}},
        {"viewer %U", {"viewer", "file:///p/a%20b.jpg"}},
        {"viewer", {"viewer", "/p/a b.jpg"}},             // no field code: the file goes last
        {"viewer %i %c %k %f", {"viewer", "/p/a b.jpg"}}, // codes without a value here are dropped
        {"\"/opt/my viewer/run\" \"--title=a \\\"b\\\"\" %f",
         {"/opt/my viewer/run", "--title=a \"b\"", "/p/a b.jpg"}},
        {"viewer 100%% %f", {"viewer", "100%", "/p/a b.jpg"}},
        {"viewer \"unclosed %f", {}},
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(appkit::Workspace::commandForFile(c.exec, "/p/a b.jpg"), c.command) << c.exec;
}

TEST(Workspace, EntriesAreFoundInTheUsersFolderFirst) {
    TemporaryDirectory folder;
    const fs::path home = folder.path() / "home", system = folder.path() / "system";
    writeText(system / "applications/org.example.Viewer.desktop", "[Desktop Entry]\nExec=system\n");
    writeText(system / "applications/org.example.Other.desktop", "[Desktop Entry]\nExec=other\n");
    writeText(home / "applications/org.example.Viewer.desktop", "[Desktop Entry]\nExec=home\n");
    const ScopedEnvironment folders = entryFolders(home.string(), "/nonexistent:" + system.string());
    EXPECT_EQ(appkit::Workspace::desktopEntryPath("org.example.Viewer"),
              (home / "applications/org.example.Viewer.desktop").string());
    EXPECT_EQ(appkit::Workspace::desktopEntryPath("org.example.Other"),
              (system / "applications/org.example.Other.desktop").string());
    EXPECT_EQ(appkit::Workspace::desktopEntryPath("org.example.Missing"), "");
    EXPECT_EQ(appkit::Workspace::desktopEntryPath("../home/applications/org.example.Viewer"), "");
    EXPECT_EQ(appkit::Workspace::desktopEntryPath(""), "");
}

TEST(Workspace, OpensTheFileWithTheNamedApplication) {
    TemporaryDirectory folder;
    const fs::path output = folder.path() / "opened.txt";
    const fs::path program = folder.path() / "bin/record";
    writeText(program, "#!/bin/sh\nprintf '%s|' \"$@\" > '" + output.string() + "'\ntouch '" +
                           output.string() + ".done'\n");
    fs::permissions(program, fs::perms::owner_all);
    writeText(folder.path() / "data/applications/org.example.Record.desktop",
              "[Desktop Action New]\nExec=wrong\n[Desktop Entry]\nName=Record\nExec = " + program.string() +
                  " --open %f\n");
    writeText(folder.path() / "data/applications/org.example.Hidden.desktop",
              "[Desktop Entry]\nHidden=true\nExec=" + program.string() + " %f\n");
    const fs::path photo = folder.path() / "My Photo.jpg";
    writeText(photo, "x");
    const ScopedEnvironment folders =
        entryFolders((folder.path() / "data").string(), (folder.path() / "none").string());

    EXPECT_FALSE(appkit::Workspace::openFile((folder.path() / "missing.jpg").string(), "org.example.Record"));
    EXPECT_FALSE(appkit::Workspace::openFile(photo.string(), "org.example.Missing"));
    EXPECT_FALSE(appkit::Workspace::openFile(photo.string(), "org.example.Hidden"));
    EXPECT_FALSE(fs::exists(output));

    ASSERT_TRUE(appkit::Workspace::openFile(photo.string(), "org.example.Record"));
    EXPECT_EQ(waitForText(output), "--open|" + photo.string() + "|");
}

TEST(Workspace, ImageApplicationsAreTheShownEntriesThatOpenImages) {
    TemporaryDirectory folder;
    const fs::path home = folder.path() / "home", system = folder.path() / "system";
    const auto entry = [](const std::string& name, const std::string& more) {
        return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=run %f\n" + more;
    };
    writeText(system / "applications/org.example.Viewer.desktop",
              entry("Viewer", "MimeType=image/png;image/jpeg;\n"));
    writeText(system / "applications/org.example.Paint.desktop",
              entry("Paint", "MimeType=text/plain;image/tiff\n"));
    writeText(system / "applications/org.example.Text.desktop", entry("Text", "MimeType=text/plain;\n"));
    writeText(system / "applications/org.example.Quiet.desktop",
              entry("Quiet", "MimeType=image/png;\nNoDisplay=true\n"));
    writeText(system / "applications/org.example.Gone.desktop", entry("Gone", "MimeType=image/png;\n"));
    writeText(home / "applications/org.example.Gone.desktop", "[Desktop Entry]\nHidden=true\n");
    writeText(system / "applications/org.example.Link.desktop",
              "[Desktop Entry]\nType=Link\nName=Link\nMimeType=image/png;\n");
    writeText(system / "applications/notes.txt", "MimeType=image/png;\n");
    const ScopedEnvironment folders = entryFolders(home.string(), system.string());

    std::vector<std::string> names;
    for (const appkit::Workspace::Application& application : appkit::Workspace::applicationsForImages())
        names.push_back(application.name + "=" + application.identifier);
    EXPECT_EQ(names, (std::vector<std::string>{"Paint=org.example.Paint", "Viewer=org.example.Viewer"}));
    EXPECT_TRUE(appkit::Workspace::isApplicationInstalled("org.example.Viewer"));
    EXPECT_FALSE(appkit::Workspace::isApplicationInstalled("org.example.Gone"));
    EXPECT_FALSE(appkit::Workspace::isApplicationInstalled("com.example.Missing"));
}

TEST(Workspace, EveryProgramStartsThroughTheLauncher) {
    TemporaryDirectory folder;
    writeText(folder.path() / "data/applications/org.example.Viewer.desktop",
              "[Desktop Entry]\nExec=viewer --one %U\n");
    const fs::path photo = folder.path() / "a.tiff";
    writeText(photo, "x");
    const ScopedEnvironment folders =
        entryFolders((folder.path() / "data").string(), (folder.path() / "none").string());
    std::vector<std::vector<std::string>> started;
    bool answer = true;
    appkit::Workspace::setLauncher([&](const std::vector<std::string>& command) {
        started.push_back(command);
        return answer;
    });

    EXPECT_TRUE(appkit::Workspace::openFile(photo.string(), "org.example.Viewer"));
    EXPECT_TRUE(appkit::Workspace::openURL("https://example.org/store"));
    EXPECT_FALSE(appkit::Workspace::openURL(""));
    EXPECT_FALSE(appkit::Workspace::launch({}));
    answer = false;
    EXPECT_FALSE(appkit::Workspace::launch({"xdg-email", "--attach", "/tmp/x.tiff"}));
    appkit::Workspace::setLauncher(nullptr);

    ASSERT_EQ(started.size(), 3u);
    EXPECT_EQ(started[0], (std::vector<std::string>{"viewer", "--one", "file://" + photo.string()}));
    EXPECT_EQ(started[1], (std::vector<std::string>{"xdg-open", "https://example.org/store"}));
    EXPECT_EQ(started[2], (std::vector<std::string>{"xdg-email", "--attach", "/tmp/x.tiff"}));
}
