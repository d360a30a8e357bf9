#pragma once
// Runs the animation ticks: at each tick, animations that reached their end tell their
// delegates (in order of their ends), the finished ones are taken off their layers, trees with
// running animations are asked to repaint, and work posted for the next tick runs. On the real
// clock a timer ticks while animations run; on the virtual clock each Clock::advance ticks.
#include <functional>
#include <vector>

#include <QPointer>
#include <QTimer>

namespace quartz {

class Layer;

class Animator {
  public:
    static Animator& shared();

    void tick();
    // Runs `work` at the next tick (or the next pass of the event loop, whichever comes first).
    void post(std::function<void()> work);

    // Layers report here while they hold animations.
    void watch(Layer* layer);
    void forget(Layer* layer);
    bool isWatching(const Layer* layer) const;

  private:
    Animator() = default;
    void runPosted();
    void keepTicking();

    std::vector<Layer*> layers_;
    std::vector<std::function<void()>> posted_;
    QPointer<QTimer> timer_;
    bool flushQueued_ = false;
};

} // namespace quartz
