#include "controls/SharedBundle.h"

#include "platform/foundation/Bundle.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

namespace SharedBundle {

namespace {

std::map<std::pair<std::string, int>, QImage>& cache() {
    static std::map<std::pair<std::string, int>, QImage> images;
    return images;
}

// main bundle, then shared bundle: the first file of the candidates that decodes.
QImage firstReadable(const std::vector<std::string>& files) {
    for (const foundation::Bundle* bundle :
         {&foundation::Bundle::mainBundle(), &foundation::Bundle::sharedBundle()}) {
        for (const std::string& file : files) {
            const std::string path = bundle->pathForResourceOfType(file, "");
            if (path.empty()) continue;
            QImage image(QString::fromStdString(path));
            if (!image.isNull()) {
                image.setDevicePixelRatio(file.find("@2x.") != std::string::npos ? 2.0 : 1.0);
                return image;
            }
        }
    }
    return QImage();
}

} // namespace

const std::string& resourcesBundlePath() {
    static const std::string path = [] {
        const std::string& shared = foundation::Bundle::sharedBundle().bundlePath();
        std::error_code ec;
        return std::filesystem::is_directory(shared, ec) ? shared : std::string();
    }();
    return path;
}

QImage imageNamedAdditional(const std::string& name, qreal devicePixelRatio) {
    if (name.empty()) return QImage();
    if (devicePixelRatio <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        devicePixelRatio = screen ? screen->devicePixelRatio() : 1.0;
    }
    const int density = devicePixelRatio >= 1.5 ? 2 : 1;
    auto& images = cache();
    const auto key = std::make_pair(name, density);
    if (auto found = images.find(key); found != images.end()) return found->second;
    const std::string one = name + ".png", two = name + "@2x.png";
    QImage image =
        firstReadable(density == 2 ? std::vector<std::string>{two, one} : std::vector<std::string>{one, two});
    if (image.isNull()) image = firstReadable({name + ".jpg", name});
    if (image.isNull()) {
        static std::set<std::string> reported;
        if (reported.insert(name).second)
            std::fprintf(stderr, "opalene: no image named \"%s\"\n", name.c_str());
    }
    images[key] = image;
    return image;
}

void clearImageCache() {
    cache().clear();
}

} // namespace SharedBundle
