#pragma once

// Resource folders. The main bundle is share/opalene/ beside the program's bin/ folder, or the
// folder named by OPALENE_RESOURCES at the time of asking; the shared resources bundle is its
// Textures.bundle/.

#include <string>

namespace foundation {

class Bundle {
  public:
    explicit Bundle(std::string path) : path_(std::move(path)) {}

    static const Bundle& mainBundle();
    static const Bundle& sharedBundle();

    const std::string& bundlePath() const { return path_; }

    // The path of name.type in this bundle (plain name when type is empty), or empty when absent.
    std::string pathForResourceOfType(const std::string& name, const std::string& type) const;

    // Looks in the main bundle, then in the shared resources bundle; empty when neither has it.
    static std::string pathForResource(const std::string& name, const std::string& type);

    // A picture resource by name alone: "<name>.jpg", else "<name>.png", each looked up as
    // pathForResource does. Whoever asks whether a picture exists and whoever loads it use this,
    // so the two answers agree.
    static std::string pathForImageResource(const std::string& name);

  private:
    std::string path_;
};

} // namespace foundation
