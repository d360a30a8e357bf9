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

 private:
  bool _pluginMode = false;
};

}  // namespace services
