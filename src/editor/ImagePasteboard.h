#pragma once
// The clipboard and drops as the editor sees them: the MIME types it reads and writes, the
// working image offered to other programs (each format encoded only when one is asked for), and
// the decisions and decoding of what comes in. Plain functions over QMimeData so tests call them
// without a window.
#include "platform/graphics/Image.h"

#include <QByteArray>
#include <QMimeData>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ImagePasteboard {

inline constexpr const char* kTIFF = "image/tiff";
inline constexpr const char* kPNG = "image/png";
inline constexpr const char* kURIList = "text/uri-list";

// In order: TIFF, PNG (what most programs here offer) and file URLs.
std::vector<std::string> readablePasteboardTypes();
// PNG first, since most programs here take it; TIFF as the editor's own format.
std::vector<std::string> writableTypesForPasteboard();

// The picture in one of the writable types; empty for any other type or a picture that cannot be
// encoded.
QByteArray encodedImage(const graphics::ImagePtr& image, const std::string& type);

// Clipboard data holding the picture; each format is encoded on first ask and kept.
class ImageMimeData : public QMimeData {
  public:
    explicit ImageMimeData(graphics::ImagePtr image) : _image(std::move(image)) {}
    const graphics::ImagePtr& image() const { return _image; }
    QStringList formats() const override;
    bool hasFormat(const QString& type) const override;
    int encodings() const { return _encodings; }

  protected:
    QVariant retrieveData(const QString& type, QMetaType preferred) const override;

  private:
    graphics::ImagePtr _image;
    mutable std::map<QString, QByteArray> _encoded;
    mutable int _encodings = 0;
};

bool hasImageData(const QMimeData* data);
// The first URL when it names a local file.
std::optional<std::string> firstFilePath(const QMimeData* data);
// Whether the file's lower-cased extension is one of `readableTypes`.
bool isReadableFile(const std::string& path, const std::vector<std::string>& readableTypes);
// Image data first; then the first file, by its lower-cased extension against `readableTypes`.
bool canRead(const QMimeData* data, const std::vector<std::string>& readableTypes);
// The picture of the image data, or null (none, undecodable or empty).
graphics::ImagePtr imageFromPasteboard(const QMimeData* data);

} // namespace ImagePasteboard
