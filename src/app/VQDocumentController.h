#pragma once
// The application's document controller and delegate: at most one document, every open request
// routed to that document's editor, and the start-up and quit sequences.
#include <memory>
#include <string>

class MainMenu;
class MyDocument;
class RivorezIduvivViewController;

inline constexpr const char* KXApplicationShouldTerminate = "KXApplicationShouldTerminate";

class VQDocumentController {
  public:
    VQDocumentController();
    ~VQDocumentController();
    VQDocumentController(const VQDocumentController&) = delete;
    VQDocumentController& operator=(const VQDocumentController&) = delete;

    MyDocument* currentDocument() const { return _document.get(); }
    RivorezIduvivViewController* currentDocumentController() const;

    // Reuses the one document when it exists; the file then goes to its editor, which offers to
    // save unsaved work first. Null with `error` set when the document cannot be made.
    MyDocument* openDocumentWithContentsOfURL(const std::string& path, bool display,
                                              std::string* error = nullptr);
    RivorezIduvivViewController* openUntitledDocumentAndDisplay(bool display);
    // The open command: the editor's panel once a document exists, else the empty editor first.
    void openDocument();
    bool hasEditedDocuments() const { return false; }

    bool noNeedSaveDocument() const { return _noNeedSaveDocument; }
    void setNoNeedSaveDocument(bool on) { _noNeedSaveDocument = on; }

    void applicationWillFinishLaunching();
    // How start-up reports the program's mode: "Standalone", or the plug-in's host application.
    static std::string pluginModeLabel();
    void applicationDidFinishLaunching();
    // True when the program may end now; otherwise the editor asks and ends it itself.
    bool applicationShouldTerminate();
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }

    // The menu bar of the editor's window, made when launching finishes.
    MainMenu* mainMenu() const { return _mainMenu.get(); }

  private:
    std::unique_ptr<MyDocument> _document;
    bool _noNeedSaveDocument = false;
    std::unique_ptr<MainMenu> _mainMenu; // after the document: it goes first
};
