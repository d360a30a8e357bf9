#include "platform/quartz/AnimationDelegate.h"
#include "platform/quartz/AnimationGroup.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/Layer.h"
#include "platform/quartz/TimingFunction.h"
#include "platform/quartz/Transaction.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace quartz;
using graphics::AffineTransform;
using graphics::Point;
using graphics::Rect;

namespace {

constexpr double kPi = std::numbers::pi;

double bezier(double p1, double p2, double s) {
    return 3 * (1 - s) * (1 - s) * s * p1 + 3 * (1 - s) * s * s * p2 + s * s * s;
}

// Values of one key path as the presentation shows them, to compare with an expected value.
AnimationValue shown(const std::string& keyPath, const LayerValues& v) {
    if (keyPath == "opacity") return v.opacity;
    if (keyPath == "position") return v.position;
    if (keyPath == "bounds") return v.bounds;
    if (keyPath == "transform.rotation") return std::atan2(v.transform.b, v.transform.a);
    return v.transform;
}

void expectNear(const AnimationValue& expected, const AnimationValue& actual, const std::string& what) {
    ASSERT_EQ(expected.index(), actual.index()) << what;
    constexpr double e = 1e-9;
    if (auto* d = std::get_if<double>(&expected)) {
        EXPECT_NEAR(*d, std::get<double>(actual), e) << what;
    } else if (auto* p = std::get_if<Point>(&expected)) {
        const Point q = std::get<Point>(actual);
        EXPECT_NEAR(p->x, q.x, e) << what;
        EXPECT_NEAR(p->y, q.y, e) << what;
    } else if (auto* r = std::get_if<Rect>(&expected)) {
        const Rect q = std::get<Rect>(actual);
        EXPECT_NEAR(r->origin.x, q.origin.x, e) << what;
        EXPECT_NEAR(r->origin.y, q.origin.y, e) << what;
        EXPECT_NEAR(r->size.width, q.size.width, e) << what;
        EXPECT_NEAR(r->size.height, q.size.height, e) << what;
    } else {
        const AffineTransform a = std::get<AffineTransform>(expected), b = std::get<AffineTransform>(actual);
        EXPECT_NEAR(a.a, b.a, e) << what;
        EXPECT_NEAR(a.b, b.b, e) << what;
        EXPECT_NEAR(a.c, b.c, e) << what;
        EXPECT_NEAR(a.d, b.d, e) << what;
        EXPECT_NEAR(a.tx, b.tx, e) << what;
        EXPECT_NEAR(a.ty, b.ty, e) << what;
    }
}

AnimationValue mix(const AnimationValue& from, const AnimationValue& to, double p) {
    return std::visit(
        [&](const auto& a) -> AnimationValue {
            using T = std::decay_t<decltype(a)>;
            return interpolate(a, std::get<T>(to), p);
        },
        from);
}

struct Recorder : AnimationDelegate {
    std::vector<std::string>* log;
    std::string name;
    int stops = 0;
    Recorder(std::vector<std::string>* l, std::string n) : log(l), name(std::move(n)) {}
    void animationDidStop(Animation*, bool finished) override {
        ++stops;
        log->push_back(name + (finished ? " finished" : " stopped"));
    }
};

// A layer inside a tree, so value changes may animate implicitly.
struct Tree {
    std::shared_ptr<Layer> root = std::make_shared<Layer>();
    std::shared_ptr<Layer> layer = std::make_shared<Layer>();
    Tree() {
        Transaction::begin();
        Transaction::setDisableActions(true);
        root->addSublayer(layer);
        layer->setBounds(Rect(0, 0, 100, 50));
        layer->setPosition(Point(50, 25));
        Transaction::commit();
    }
};

} // namespace

TEST(TimingFunction, EaseFollowsTheCubicBezierAndLinearIsIdentity) {
    const TimingFunction ease = TimingFunction::easeInEaseOut();
    for (double s : {0.05, 0.1, 0.25, 0.3, 0.5, 0.7, 0.9, 0.97}) {
        const double x = bezier(0.42, 0.58, s), y = bezier(0.0, 1.0, s);
        EXPECT_NEAR(ease.valueAt(x), y, 1e-9) << "s=" << s;
    }
    EXPECT_NEAR(ease.valueAt(0.5), 0.5, 1e-12);
    EXPECT_LT(ease.valueAt(0.1), 0.1); // slow start
    EXPECT_GT(ease.valueAt(0.9), 0.9); // slow end
    EXPECT_EQ(ease.valueAt(-1), 0);
    EXPECT_EQ(ease.valueAt(2), 1);
    for (double x : {0.0, 0.2, 0.5, 0.8, 1.0})
        EXPECT_DOUBLE_EQ(TimingFunction::linear().valueAt(x), x);
}

TEST(BasicAnimation, EveryKeyPathAtStartMiddleAndEndUnderBothTimings) {
    struct Case {
        std::string keyPath;
        AnimationValue from, to;
    };
    const Case cases[] = {
        {"opacity", 0.2, 1.0},
        {"position", Point(10, 20), Point(110, -20)},
        {"bounds", Rect(0, 0, 100, 50), Rect(10, 5, 300, 150)},
        {"transform.rotation", 0.0, kPi / 2},
        {"transform", AffineTransform::makeTranslation(0, 0), AffineTransform::makeTranslation(40, -20)},
    };
    const double duration = 2;
    // Points in time as fractions of the duration with the progress each timing gives there;
    // the eased progress is read off the curve's own parametric form.
    const double s = 0.3, easedX = bezier(0.42, 0.58, s), easedY = bezier(0.0, 1.0, s);
    struct When {
        TimingFunction timing;
        double fraction, progress;
    };
    const When whens[] = {
        {TimingFunction::linear(), 0, 0},
        {TimingFunction::linear(), 0.5, 0.5},
        {TimingFunction::linear(), 1, 1},
        {TimingFunction::easeInEaseOut(), 0, 0},
        {TimingFunction::easeInEaseOut(), 0.5, 0.5},
        {TimingFunction::easeInEaseOut(), easedX, easedY},
        {TimingFunction::easeInEaseOut(), 1, 1},
    };
    for (const Case& c : cases) {
        for (const When& w : whens) {
            VirtualClock clock;
            Tree tree;
            BasicAnimation animation(c.keyPath);
            animation.setFromValue(c.from);
            animation.setToValue(c.to);
            animation.setDuration(duration);
            animation.setTimingFunction(w.timing);
            animation.setFillsForwards(true);
            animation.setRemovedOnCompletion(false);
            const double start = clock.now();
            tree.layer->addAnimation(animation, "a");
            const std::string what = c.keyPath + " at " + std::to_string(w.fraction);
            expectNear(mix(c.from, c.to, w.progress),
                       shown(c.keyPath, tree.layer->presentationAt(start + w.fraction * duration)), what);
        }
    }
}

TEST(BasicAnimation, TransformsTurnAndFlipThroughTheirParts) {
    VirtualClock clock;
    Tree tree;
    BasicAnimation turn("transform");
    turn.setFromValue(AffineTransform::identity());
    turn.setToValue(AffineTransform::makeRotation(kPi / 2).translated(0, 0));
    turn.setDuration(1);
    tree.layer->addAnimation(turn, "turn");
    const AffineTransform half = tree.layer->presentationAt(clock.now() + 0.5).transform;
    EXPECT_NEAR(half.a, std::cos(kPi / 4), 1e-9); // a quarter turn halfway, not a shrunken matrix
    EXPECT_NEAR(half.b, std::sin(kPi / 4), 1e-9);

    BasicAnimation flip("transform");
    flip.setFromValue(AffineTransform::identity());
    flip.setToValue(AffineTransform::makeScale(-1, 1));
    flip.setDuration(1);
    tree.layer->addAnimation(flip, "turn");
    const AffineTransform flipped = tree.layer->presentationAt(clock.now() + 0.5).transform;
    EXPECT_NEAR(flipped.a, 0, 1e-9);
    EXPECT_NEAR(flipped.d, 1, 1e-9);

    // The rotation key path keeps the scale of the model's transform.
    tree.layer->removeAllAnimations();
    Transaction::begin();
    Transaction::setDisableActions(true);
    tree.layer->setTransform(AffineTransform::makeScale(2, 2));
    Transaction::commit();
    BasicAnimation rotation("transform.rotation");
    rotation.setFromValue(0.0);
    rotation.setToValue(kPi);
    rotation.setDuration(1);
    tree.layer->addAnimation(rotation, "r");
    const AffineTransform r = tree.layer->presentationAt(clock.now() + 0.5).transform;
    EXPECT_NEAR(r.a, 0, 1e-9);
    EXPECT_NEAR(r.b, 2, 1e-9);
}

TEST(BasicAnimation, MissingEndsComeFromTheModelAndRunOutWithoutFill) {
    VirtualClock clock;
    Tree tree;
    BasicAnimation fade("opacity");
    fade.setFromValue(0.0);
    fade.setDuration(1);
    tree.layer->addAnimation(fade, "fade");
    EXPECT_NEAR(tree.layer->presentation().opacity, 0, 1e-12);
    clock.advance(0.5);
    EXPECT_NEAR(tree.layer->presentation().opacity, 0.5, 1e-12);
    clock.advance(0.5);
    EXPECT_EQ(tree.layer->animation("fade"), nullptr); // removed on completion
    EXPECT_EQ(tree.layer->presentation().opacity, 1);
}

TEST(BasicAnimation, FillForwardsHoldsTheEndWhileKept) {
    struct Case {
        bool fills, removed;
        double after;
    };
    const Case cases[] = {{true, false, 0.3}, {false, false, 1.0}, {true, true, 1.0}, {false, true, 1.0}};
    for (const Case& c : cases) {
        VirtualClock clock;
        Tree tree;
        BasicAnimation fade("opacity");
        fade.setFromValue(1.0);
        fade.setToValue(0.3);
        fade.setDuration(0.5);
        fade.setFillsForwards(c.fills);
        fade.setRemovedOnCompletion(c.removed);
        tree.layer->addAnimation(fade, "fade");
        clock.advance(2);
        EXPECT_NEAR(tree.layer->presentation().opacity, c.after, 1e-12) << c.fills << c.removed;
        EXPECT_EQ(tree.layer->animation("fade") != nullptr, !c.removed);
        EXPECT_EQ(tree.layer->opacity(), 1); // the model never moved
    }
}

TEST(Layer, ModelValuesReadBackAtOnceWhileThePresentationMoves) {
    VirtualClock clock;
    Tree tree;
    Transaction::begin();
    Transaction::setAnimationDuration(1);
    tree.layer->setOpacity(0.2);
    tree.layer->setFrame(Rect(100, 100, 200, 100));
    Transaction::commit();
    EXPECT_NEAR(tree.layer->opacity(), 0.2, 1e-7);
    EXPECT_EQ(tree.layer->frame(), Rect(100, 100, 200, 100));
    EXPECT_EQ(tree.layer->presentation().opacity, 1);
    EXPECT_EQ(tree.layer->presentation().frame(), Rect(0, 0, 100, 50));
    clock.advance(0.5);
    EXPECT_NEAR(tree.layer->presentation().opacity, 0.6, 1e-7);
    EXPECT_EQ(tree.layer->presentation().frame(), Rect(50, 50, 150, 75));
    // A new change starts from what is on screen.
    Transaction::begin();
    Transaction::setAnimationDuration(1);
    tree.layer->setOpacity(1);
    Transaction::commit();
    EXPECT_NEAR(tree.layer->presentation().opacity, 0.6, 1e-7);
    clock.advance(1);
    EXPECT_EQ(tree.layer->presentation().opacity, 1);
    EXPECT_TRUE(tree.layer->animationKeys().empty());
}

TEST(Layer, ChangesDoNotAnimateOutsideATreeWithActionsOffOrWithoutDuration) {
    VirtualClock clock;
    Layer alone;
    alone.setOpacity(0.5);
    EXPECT_TRUE(alone.animationKeys().empty());
    for (int way = 0; way < 2; ++way) {
        Tree tree;
        Transaction::begin();
        if (way == 0)
            Transaction::setDisableActions(true);
        else
            Transaction::setAnimationDuration(0);
        tree.layer->setPosition(Point(5, 5));
        Transaction::commit();
        EXPECT_TRUE(tree.layer->animationKeys().empty()) << way;
        EXPECT_EQ(tree.layer->presentation().position, Point(5, 5));
    }
}

TEST(Layer, FrameIsTheTransformedBoundsAboutTheAnchor) {
    Layer layer;
    layer.setBounds(Rect(0, 0, 100, 50));
    layer.setPosition(Point(200, 100));
    EXPECT_EQ(layer.frame(), Rect(150, 75, 100, 50));
    layer.setTransform(AffineTransform::makeRotation(kPi / 2));
    const Rect f = layer.frame();
    EXPECT_NEAR(f.origin.x, 175, 1e-9);
    EXPECT_NEAR(f.origin.y, 50, 1e-9);
    EXPECT_NEAR(f.width(), 50, 1e-9);
    EXPECT_NEAR(f.height(), 100, 1e-9);
    layer.setTransform(AffineTransform::identity());
    layer.setAnchorPoint(Point(0, 0));
    layer.setFrame(Rect(10, 20, 30, 40));
    EXPECT_EQ(layer.position(), Point(10, 20));
    EXPECT_EQ(layer.bounds(), Rect(0, 0, 30, 40));
}

TEST(AnimationGroup, ChildrenRunOnTheGroupsTimeAndOnlyTheGroupReports) {
    VirtualClock clock;
    Tree tree;
    std::vector<std::string> log;
    Recorder groupDelegate(&log, "group"), childDelegate(&log, "child");
    auto move = std::make_shared<BasicAnimation>("position");
    move->setFromValue(Point(0, 0));
    move->setToValue(Point(100, 0));
    move->setDelegate(&childDelegate);
    auto fade = std::make_shared<BasicAnimation>("opacity");
    fade->setFromValue(0.0);
    fade->setToValue(1.0);
    fade->setBeginTime(0.5);
    fade->setDuration(0.5);
    AnimationGroup group;
    group.setAnimations({move, fade});
    group.setDuration(2);
    group.setFillsForwards(true);
    group.setRemovedOnCompletion(false);
    group.setDelegate(&groupDelegate);
    const double start = clock.now();
    tree.layer->addAnimation(group, "g");
    LayerValues v = tree.layer->presentationAt(start + 0.75);
    EXPECT_NEAR(v.position.x, 37.5, 1e-9); // the child lasts as long as the group
    EXPECT_NEAR(v.opacity, 0.5, 1e-9);
    v = tree.layer->presentationAt(start + 1.5);
    EXPECT_EQ(v.opacity, 1); // the fade ran out and does not fill
    clock.advance(3);
    v = tree.layer->presentation();
    EXPECT_EQ(v.position, Point(100, 0)); // held by the filled group
    EXPECT_EQ(log, std::vector<std::string>{"group finished"});
}

TEST(Transaction, CompletionRunsAfterEveryAnimationOfItInOrderOfTheirEnds) {
    VirtualClock clock;
    Tree tree;
    std::vector<std::string> log;
    Recorder shortOne(&log, "short"), longOne(&log, "long"), outside(&log, "outside");
    Transaction::begin();
    Transaction::setCompletionBlock([&] { log.push_back("completion"); });
    BasicAnimation a("opacity");
    a.setToValue(0.0);
    a.setDuration(1);
    a.setDelegate(&longOne);
    tree.layer->addAnimation(a, "long");
    BasicAnimation b("position");
    b.setToValue(Point(9, 9));
    b.setDuration(0.5);
    b.setDelegate(&shortOne);
    tree.layer->addAnimation(b, "short");
    Transaction::commit();
    BasicAnimation c("bounds");
    c.setToValue(Rect(0, 0, 1, 1));
    c.setDuration(2);
    c.setDelegate(&outside);
    tree.layer->addAnimation(c, "outside");
    clock.advance(5);
    EXPECT_EQ(
        log, (std::vector<std::string>{"short finished", "long finished", "completion", "outside finished"}));

    // With no animation, the block waits for the next tick rather than running inside commit.
    log.clear();
    Transaction::begin();
    Transaction::setCompletionBlock([&] { log.push_back("empty"); });
    Transaction::commit();
    EXPECT_TRUE(log.empty());
    clock.advance(0);
    EXPECT_EQ(log, std::vector<std::string>{"empty"});
    clock.advance(1);
    EXPECT_EQ(log.size(), 1u);
}

TEST(Transaction, NestedSettingsFallBackToTheOuterOnes) {
    Transaction::begin();
    Transaction::setAnimationDuration(3);
    Transaction::setAnimationTimingFunction(TimingFunction::easeInEaseOut());
    Transaction::begin();
    Transaction::setDisableActions(true);
    EXPECT_EQ(Transaction::animationDuration(), 3);
    EXPECT_EQ(Transaction::animationTimingFunction(), TimingFunction::easeInEaseOut());
    EXPECT_TRUE(Transaction::disableActions());
    Transaction::commit();
    EXPECT_FALSE(Transaction::disableActions());
    Transaction::commit();
    EXPECT_EQ(Transaction::animationDuration(), 0.25);
}

// Every added animation stops exactly once, whichever way it goes; nothing fires afterwards.
TEST(Layer, RemovedReplacedOrOrphanedAnimationsStopOnceUnfinished) {
    enum Way { Remove, RemoveAll, Replace, DestroyLayer, DestroyTree };
    for (Way way : {Remove, RemoveAll, Replace, DestroyLayer, DestroyTree}) {
        VirtualClock clock;
        auto tree = std::make_unique<Tree>();
        std::vector<std::string> log;
        Recorder first(&log, "first"), second(&log, "second");
        bool completed = false;
        Transaction::begin();
        Transaction::setCompletionBlock([&] { completed = true; });
        BasicAnimation a("opacity");
        a.setToValue(0.0);
        a.setDuration(1);
        a.setDelegate(&first);
        tree->layer->addAnimation(a, "fade");
        Transaction::commit();
        clock.advance(0.5);
        switch (way) {
        case Remove:
            tree->layer->removeAnimation("fade");
            break;
        case RemoveAll:
            tree->layer->removeAllAnimations();
            break;
        case Replace: {
            BasicAnimation b("opacity");
            b.setToValue(0.5);
            b.setDuration(1);
            b.setDelegate(&second);
            tree->layer->addAnimation(b, "fade");
            break;
        }
        case DestroyLayer:
            tree->layer->removeFromSuperlayer();
            tree->layer.reset();
            break;
        case DestroyTree:
            tree.reset();
            break;
        }
        EXPECT_EQ(first.stops, 1) << way;
        EXPECT_EQ(log.front(), "first stopped") << way;
        clock.advance(0);
        EXPECT_TRUE(completed) << way;
        clock.advance(5);
        EXPECT_EQ(first.stops, 1) << way;
        EXPECT_EQ(second.stops, way == Replace ? 1 : 0) << way;
        if (way == Replace) EXPECT_EQ(log.back(), "second finished");
        if (way == Remove || way == RemoveAll) EXPECT_EQ(tree->layer->presentation().opacity, 1);
    }
}

// A delegate that tears down the layer from inside the callback must not bring it back.
TEST(Layer, DelegateMayDestroyTheLayerWhileItsAnimationsStop) {
    VirtualClock clock;
    Tree tree;
    struct Destroyer : AnimationDelegate {
        std::shared_ptr<Layer>* layer;
        int stops = 0;
        void animationDidStop(Animation*, bool) override {
            ++stops;
            if (*layer) {
                (*layer)->removeFromSuperlayer();
                layer->reset();
            }
        }
    } destroyer;
    destroyer.layer = &tree.layer;
    for (const char* key : {"a", "b"}) {
        BasicAnimation a("opacity");
        a.setToValue(0.0);
        a.setDuration(1);
        a.setDelegate(&destroyer);
        tree.layer->addAnimation(a, key);
    }
    clock.advance(2);
    EXPECT_EQ(destroyer.stops, 2); // one finished, the other stopped with its layer
    EXPECT_EQ(tree.layer, nullptr);
    clock.advance(2);
    EXPECT_EQ(destroyer.stops, 2);
}

TEST(Layer, SublayersFollowTheSuperlayersSizeByTheirMasks) {
    VirtualClock clock;
    Tree tree;
    struct Case {
        unsigned mask;
        Rect after;
    };
    const Case cases[] = {
        {kCALayerNotSizable, Rect(10, 10, 20, 20)},
        {kCALayerMinYMargin, Rect(10, 40, 20, 20)}, // keeps its distance from the top
        {kCALayerHeightSizable, Rect(10, 10, 20, 50)},
        {kCALayerMaxXMargin | kCALayerHeightSizable, Rect(10, 10, 20, 50)},
        {kCALayerMinXMargin | kCALayerWidthSizable, Rect(40, 10, 50, 20)}, // shared equally
    };
    for (const Case& c : cases) {
        auto sublayer = std::make_shared<Layer>();
        Transaction::begin();
        Transaction::setDisableActions(true);
        tree.layer->setBounds(Rect(0, 0, 100, 50));
        tree.layer->addSublayer(sublayer);
        sublayer->setFrame(Rect(10, 10, 20, 20));
        sublayer->setAutoresizingMask(c.mask);
        Transaction::commit();
        tree.layer->setBounds(Rect(0, 0, 160, 80)); // animates the layer itself, not the layout
        EXPECT_EQ(sublayer->frame(), c.after) << c.mask;
        EXPECT_TRUE(sublayer->animationKeys().empty()) << c.mask;
        sublayer->removeFromSuperlayer();
    }
}
