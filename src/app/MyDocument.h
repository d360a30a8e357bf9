#pragma once
// The application's one document. It holds no picture of its own: it owns the editor window
// controller, shares its undo manager with the editor and the presets store, keeps the change
// count the editor sets, and prints the editor's current image.
#include <QRectF>
#include <QSizeF>
#include <memory>
#include <string>

class QImage;
class QPagedPaintDevice;
class QPrinter;
class RivorezIduvivViewController;
namespace foundation {
class UndoManager;
}

class MyDocument {
  public:
    MyDocument();
    ~MyDocument();
    MyDocument(const MyDocument&) = delete;
    MyDocument& operator=(const MyDocument&) = delete;

    foundation::UndoManager* undoManager() const { return _undoManager.get(); }
    // Made on first use, with the document's undo manager.
    RivorezIduvivViewController* rivorezIduvivViewController();
    void makeWindowControllers() { rivorezIduvivViewController(); }
    void showWindows();

    bool isDocumentEdited() const { return _changeCount != 0; }
    void updateChangeCount(bool cleared) { _changeCount = cleared ? 0 : _changeCount + 1; }

    // Print and page setup are offered only while the editor has an image.
    bool validateUserInterfaceItem() const;

    // The margin used on every side: the widest inset of the printable area inside the paper.
    static double printMargin(QSizeF paper, QRectF imageable);
    // The image scaled to fit one page inside equal margins and centred on it. False when there is
    // no image or the device cannot be painted on.
    static bool printImage(const QImage& image, QPrinter& printer);
    // Prints the editor's image through the print dialog; false with `error` set when there is none.
    bool printOperationWithSettings(std::string* error);

  private:
    std::unique_ptr<foundation::UndoManager> _undoManager;
    std::unique_ptr<RivorezIduvivViewController> _rivorezIduvivViewController;
    int _changeCount = 0;
};
