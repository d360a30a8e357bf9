#pragma once
// Scopes the image view's files share: a transaction without implicit animations, and a layer's
// turn taken off for placing it by its untransformed frame and put back afterwards.
#include "platform/graphics/AffineTransform.h"
#include "platform/quartz/Layer.h"
#include "platform/quartz/Transaction.h"

// Code that only sets values runs without implicit animations.
struct NoActions {
    NoActions() {
        quartz::Transaction::begin();
        quartz::Transaction::setDisableActions(true);
    }
    ~NoActions() { quartz::Transaction::commit(); }
    NoActions(const NoActions&) = delete;
    NoActions& operator=(const NoActions&) = delete;
};

struct TransformAside {
    quartz::Layer* layer;
    graphics::AffineTransform kept;
    explicit TransformAside(quartz::Layer* l) : layer(l) {
        if (!layer) return;
        kept = layer->transform();
        if (kept.isIdentity()) return;
        NoActions noActions;
        layer->setTransform(graphics::AffineTransform::identity());
    }
    ~TransformAside() {
        if (!layer || kept.isIdentity()) return;
        NoActions noActions;
        layer->setTransform(kept);
    }
    TransformAside(const TransformAside&) = delete;
    TransformAside& operator=(const TransformAside&) = delete;
};
