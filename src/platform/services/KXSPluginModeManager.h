#pragma once
// Whether the program runs as another application's plug-in. The editor program never does; a
// host that embeds the editor says so before building its menus.
namespace services {

class KXSPluginModeManager {
  public:
    static KXSPluginModeManager& sharedManager() {
        static KXSPluginModeManager manager;
        return manager;
    }
    bool isPluginMode() const { return _pluginMode; }
    void setPluginMode(bool on) { _pluginMode = on; }
    // Which application hosts the plug-in: 1 Adobe Photoshop, 2 Aperture, anything else Lightroom.
    int pluginOwner() const { return _pluginOwner; }
    void setPluginOwner(int owner) { _pluginOwner = owner; }

  private:
    bool _pluginMode = false;
    int _pluginOwner = 0;
};

} // namespace services
