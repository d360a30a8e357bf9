#pragma once
// Usage statistics of the services framework. Nothing is collected here: the calls stay so that
// the places that count an event are kept.
namespace services {

struct KXStatistics {
  static void start() {}
  static void useMask() {}
  static void useBatch() {}
};

}  // namespace services
