#pragma once
// Whether the process runs the editor as the photo library's editing extension. The shared code
// behaves the same in both except where it asks this; the host program sets it once, before any
// window is made. Safe from any thread.
namespace services {

class ExtensionBuild {
  public:
    static bool isOn();
    static void setOn(bool on);
};

} // namespace services
