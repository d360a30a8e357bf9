#pragma once
class QObject;

// Told once when a modal panel ends: the work finished, or the user cancelled it.
class ProgressViewControllerControllerDelegate {
  public:
    virtual ~ProgressViewControllerControllerDelegate() = default;
    virtual void modalViewControllerDidFinish(QObject* controller, bool isCanceled) = 0;
};
