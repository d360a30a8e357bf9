#pragma once
// A temporary folder that the library's folder driver serves as a camera, filled with small
// JPEGs made in code, each carrying a maker, a model and a date in its Exif. Also the way to
// wait for a camera's answers, which come through Qt's event loop.
#include "platform/camera/CameraLibrary.h"
#include "platform/imageio/ImageDestination.h"
#include "support/TemporaryDirectory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class FolderCamera {
  public:
    FolderCamera() { std::filesystem::create_directories(root()); }

    // The card's folder, inside a temporary folder that also has room for downloads.
    std::filesystem::path root() const { return _folder.path() / "card"; }
    std::filesystem::path scratch() const { return _folder.path(); }

    // Writes a width x height JPEG of one colour at root()/relativePath; answers its full path.
    std::string addPhoto(const std::string& relativePath, const std::string& make, const std::string& model,
                         const std::string& date, uint8_t red = 200, int width = 48, int height = 32) const {
        std::filesystem::path path = root() / relativePath;
        std::filesystem::create_directories(path.parent_path());
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = red, pixels[i + 1] = 90, pixels[i + 2] = 40, pixels[i + 3] = 255;
        }
        auto image = graphics::Image::copy(pixels.data(), width, height, width * 4, graphics::PixelFormat{});
        using foundation::Dictionary;
        using foundation::Value;
        auto destination = imageio::ImageDestination::createWithPath(path.string(), "public.jpeg");
        if (!destination) throw std::runtime_error("cannot write " + path.string());
        destination->addImage(
            image, Dictionary{
                       {"{TIFF}", Value(Dictionary{{"Make", Value(make)}, {"Model", Value(model)}})},
                       {"{Exif}", Value(Dictionary{{"DateTimeOriginal", Value(date)}})},
                   });
        if (!destination->finalize()) throw std::runtime_error("cannot write " + path.string());
        return path.string();
    }

    camera::DeviceDescription description() const {
        auto description =
            camera::CameraLibrary::shared().describeDevice("Directory Browse", "disk:" + root().string());
        if (!description) throw std::runtime_error("the folder driver is missing");
        return *description;
    }

    // A string of one metadata dictionary ("{TIFF}", "Make"); empty when missing.
    static std::string metadataString(const foundation::Dictionary& metadata, const std::string& group,
                                      const std::string& key) {
        auto found = metadata.find(group);
        const foundation::Value* value = found == metadata.end() ? nullptr : found->second.find(key);
        const std::string* text = value ? value->getString() : nullptr;
        return text ? *text : std::string();
    }

    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    TemporaryDirectory _folder;
};

// Runs Qt's event loop until the predicate holds or the time is up; answers the predicate.
inline bool pumpEventsUntil(const std::function<bool()>& predicate, double seconds = 10) {
    QElapsedTimer timer;
    timer.start();
    while (!predicate()) {
        if (timer.elapsed() > seconds * 1000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
