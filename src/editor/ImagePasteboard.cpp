#include "editor/ImagePasteboard.h"

#include "controls/ImageAdditional.h"
#include "editor/ImageOpening.h"
#include "platform/imageio/ImageDestination.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>

namespace ImagePasteboard {

namespace {

// TIFF goes through the image files' own writer and reader, which have no in-memory form: a
// private temporary folder carries the bytes.
QByteArray encodedTIFF(const graphics::ImagePtr& image) {
    QTemporaryDir dir;
    if (!dir.isValid()) return {};
    const std::string path = dir.filePath("copy.tiff").toStdString();
    auto destination = imageio::ImageDestination::createWithPath(path, "public.tiff");
    if (!destination) return {};
    destination->addImage(image, {});
    if (!destination->finalize()) return {};
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

graphics::ImagePtr decodedTIFF(const QByteArray& bytes) {
    QTemporaryDir dir;
    if (!dir.isValid() || bytes.isEmpty()) return nullptr;
    const QString path = dir.filePath("paste.tiff");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return nullptr;
    file.close();
    return ImageOpening::readPhoto(path.toStdString()).image;
}

bool nonEmpty(const graphics::ImagePtr& image) {
    return image && image->width() > 0 && image->height() > 0;
}

} // namespace

std::vector<std::string> readablePasteboardTypes() {
    return {kTIFF, kPNG, kURIList};
}

std::vector<std::string> writableTypesForPasteboard() {
    return {kPNG, kTIFF};
}

QByteArray encodedImage(const graphics::ImagePtr& image, const std::string& type) {
    if (!nonEmpty(image)) return {};
    if (type == kTIFF) return encodedTIFF(image);
    if (type != kPNG) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!ImageAdditional::toQImage(image).save(&buffer, "PNG")) return {};
    return bytes;
}

QStringList ImageMimeData::formats() const {
    QStringList list;
    for (const std::string& type : writableTypesForPasteboard())
        list << QString::fromStdString(type);
    return list;
}

bool ImageMimeData::hasFormat(const QString& type) const {
    return formats().contains(type);
}

QVariant ImageMimeData::retrieveData(const QString& type, QMetaType preferred) const {
    (void)preferred;
    if (!hasFormat(type)) return {};
    auto found = _encoded.find(type);
    if (found == _encoded.end()) {
        ++_encodings;
        found = _encoded.emplace(type, encodedImage(_image, type.toStdString())).first;
    }
    return found->second;
}

bool hasImageData(const QMimeData* data) {
    return data && (data->hasFormat(kTIFF) || data->hasFormat(kPNG) || data->hasImage());
}

std::optional<std::string> firstFilePath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return std::nullopt;
    return urls.first().toLocalFile().toStdString();
}

bool isReadableFile(const std::string& path, const std::vector<std::string>& readableTypes) {
    const std::string extension = QFileInfo(QString::fromStdString(path)).suffix().toLower().toStdString();
    if (extension.empty()) return false;
    return std::find(readableTypes.begin(), readableTypes.end(), extension) != readableTypes.end();
}

bool canRead(const QMimeData* data, const std::vector<std::string>& readableTypes) {
    if (hasImageData(data)) return true;
    const std::optional<std::string> path = firstFilePath(data);
    return path && isReadableFile(*path, readableTypes);
}

graphics::ImagePtr imageFromPasteboard(const QMimeData* data) {
    if (!data) return nullptr;
    graphics::ImagePtr image;
    if (data->hasFormat(kPNG)) {
        const QImage decoded = QImage::fromData(data->data(kPNG), "PNG");
        if (!decoded.isNull()) image = ImageAdditional::fromQImage(decoded);
    }
    if (!nonEmpty(image) && data->hasFormat(kTIFF)) image = decodedTIFF(data->data(kTIFF));
    if (!nonEmpty(image) && data->hasImage()) {
        const QImage decoded = qvariant_cast<QImage>(data->imageData());
        if (!decoded.isNull()) image = ImageAdditional::fromQImage(decoded);
    }
    return nonEmpty(image) ? image : nullptr;
}

} // namespace ImagePasteboard
