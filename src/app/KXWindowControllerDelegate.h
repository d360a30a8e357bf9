#pragma once
// What a child window (preferences, acknowledgements, camera import) tells the editor that owns
// it. Every method is optional; where a sender behaves differently when the receiver lacks one,
// it asks the matching query first.
#include "platform/foundation/Value.h"

#include <string>

class QObject;

class KXWindowControllerDelegate {
  public:
    virtual ~KXWindowControllerDelegate() = default;

    virtual void kxWindowControllerWantsRelease(QObject* /*windowController*/,
                                                bool /*fromModalRepresentation*/) {}

    // Opens a photo file as the working image.
    virtual void openImageWithUrl(const std::string& /*path*/, QObject* /*windowController*/) {}
    virtual bool respondsToOpenImageWithUrl() const { return false; }

    virtual foundation::Dictionary sharedImageProperties() { return {}; }
};
