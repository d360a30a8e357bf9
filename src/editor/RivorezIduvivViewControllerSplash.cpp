// The splash screen shown while no photo is open: open, open recent (with a thumbnail of the
// newest file), camera import, and a drop area. Photos dropped on it or on the image view open.
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/VQDropView.h"
#include "editor/RecentDocuments.h"
#include "editor/RivorezIduvivViewController.h"
#include "imageview/KXImageView.h"
#include "platform/imageio/ImageSource.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXServiceUtils.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPropertyAnimation>
#include <QThreadPool>
#include <QTimer>

#ifndef OPALENE_VERSION
#define OPALENE_VERSION ""
#endif

namespace {

constexpr int kContentWidth = 560;
constexpr int kContentHeight = 420;
constexpr int kThumbnailSide = 160;
constexpr int kFadeMilliseconds = 250;
constexpr int kRemoveAfterMilliseconds = 300;

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const char* style) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setStyleSheet(style);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// The area a photo is dropped on: a dashed frame around an arrow into a tray.
class DragImageView : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPen dashed(QColor(110, 118, 128), 2, Qt::DashLine);
        p.setPen(dashed);
        p.setBrush(QColor(255, 255, 255, 8));
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 10, 10);
        const QPointF c(width() / 2.0, 44);
        QPen solid(QColor(170, 178, 188), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(solid);
        p.setBrush(Qt::NoBrush);
        p.drawLine(c + QPointF(0, -22), c + QPointF(0, 6));
        p.drawPolyline(QPolygonF({c + QPointF(-10, -4), c + QPointF(0, 6), c + QPointF(10, -4)}));
        p.drawPolyline(
            QPolygonF({c + QPointF(-22, 2), c + QPointF(-22, 16), c + QPointF(22, 16), c + QPointF(22, 2)}));
    }
};

} // namespace

// The drop view asks the editor through the kit's delegate interface.
class RivorezIduvivViewController::SplashDropDelegate : public controls::KXImageViewDelegate {
  public:
    explicit SplashDropDelegate(RivorezIduvivViewController* editor) : _editor(editor) {}
    void showCropErrorWithMessage(const std::string&, const std::string&) override {}
    void setStateForCropButton(bool) override {}
    bool canReadDataFromPasteboard(const QMimeData* pasteboard) override {
        return _editor->canReadDataFromPasteboard(pasteboard);
    }
    bool respondsToReadDataFromPasteboard() const override { return true; }
    void readDataFromPasteboard(const QMimeData* pasteboard) override {
        _editor->readDataFromPasteboard(pasteboard);
    }

  private:
    RivorezIduvivViewController* _editor;
};

void RivorezIduvivViewController::scheduleSplashView() {
    if (!_showSplashTimer) {
        _showSplashTimer = new QTimer(this);
        _showSplashTimer->setSingleShot(true);
        _showSplashTimer->setInterval(0);
        QObject::connect(_showSplashTimer, &QTimer::timeout, this, [this] { _showSplashView(); });
    }
    _showSplashTimer->start();
}

void RivorezIduvivViewController::_showSplashView() {
    if (_image || _splashView) return;
    setDisabledInteraction(true);
    buildSplashView();
    const std::vector<std::string> recent = RecentDocuments::recentDocumentURLs();
    auto* recentsImage = _splashView->findChild<QLabel*>("recentsButtonImageView");
    auto* recentButton = _splashView->findChild<KXButton*>("splashOpenRecentButton");
    recentsImage->setVisible(!recent.empty());
    recentButton->setVisible(!recent.empty());
    _splashView->findChild<KXButton*>("splashImportPhotoButton")->setVisible(bool(importFromCamera));
    layoutSplashView();

    auto* fade = new QGraphicsOpacityEffect(_splashView);
    fade->setOpacity(0);
    _splashView->setGraphicsEffect(fade);
    _splashView->show();
    _splashView->raise();
    QTimer::singleShot(0, _splashView, [this] { delayedAlphaAnimation(); });

    if (!recent.empty()) loadRecentThumbnail(recent.front());
    // Drops go to the splash while it is up.
    _imageView->setAcceptDrops(false);
    setDocumentEdited(false);
}

void RivorezIduvivViewController::delayedAlphaAnimation() {
    if (!_splashView) return;
    auto* fade = qobject_cast<QGraphicsOpacityEffect*>(_splashView->graphicsEffect());
    if (!fade) return;
    auto* animation = new QPropertyAnimation(fade, "opacity", fade);
    animation->setDuration(kFadeMilliseconds);
    animation->setEndValue(1.0);
    // Opaque, the view draws without the effect's off-screen pass.
    QObject::connect(animation, &QPropertyAnimation::finished, _splashView,
                     [view = _splashView] { view->setGraphicsEffect(nullptr); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void RivorezIduvivViewController::_hideSplashView() {
    _imageView->setAcceptDrops(true);
    if (!_splashView) return;
    QWidget* view = _splashView;
    _splashView = nullptr;
    _splashViewContent = nullptr;
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->setAcceptDrops(false);
    auto* fade = qobject_cast<QGraphicsOpacityEffect*>(view->graphicsEffect());
    if (!fade) {
        fade = new QGraphicsOpacityEffect(view);
        view->setGraphicsEffect(fade);
    }
    auto* animation = new QPropertyAnimation(fade, "opacity", fade);
    animation->setDuration(kFadeMilliseconds);
    animation->setEndValue(0.0);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    QTimer::singleShot(kRemoveAfterMilliseconds, view, [view] { view->deleteLater(); });
    setDisabledInteraction(false);
}

void RivorezIduvivViewController::openImageFromSplashClick() {
    setDocumentEdited(false);
    openImage();
}

void RivorezIduvivViewController::openRecentFromSplashClick() {
    const std::vector<std::string> recent = RecentDocuments::recentDocumentURLs();
    _hideSplashView();
    if (recent.empty()) {
        scheduleSplashView();
        return;
    }
    if (services::KXServiceUtils::currentVersionCompare("10.7.0") == 1)
        openImageURL(recent.front());
    else
        openWithSavingCurrentImageURL(recent.front());
}

void RivorezIduvivViewController::closeSplashClick() {
    _hideSplashView();
}

// Made off the main thread; handed back only while the splash that asked is still up.
void RivorezIduvivViewController::loadRecentThumbnail(const std::string& path) {
    QPointer<QWidget> target = _splashView->findChild<QLabel*>("recentsButtonImageView");
    QThreadPool::globalInstance()->start(
        [target, path] {
            QImage thumbnail;
            if (auto source = imageio::ImageSource::createWithPath(path))
                if (graphics::ImagePtr image = source->createThumbnail(kThumbnailSide))
                    thumbnail = ImageAdditional::toQImage(image);
            if (thumbnail.isNull()) return;
            QMetaObject::invokeMethod(
                qApp,
                [target, thumbnail] {
                    auto* view = qobject_cast<QLabel*>(target.data());
                    if (!view) return;
                    view->setPixmap(QPixmap::fromImage(
                        thumbnail.scaled(view->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
                },
                Qt::QueuedConnection);
        },
        QThread::LowestPriority);
}

void RivorezIduvivViewController::buildSplashView() {
    _splashView = new QWidget(_contentView);
    _splashView->setObjectName("splashView");
    _splashView->setStyleSheet("QWidget#splashView { background: black; }");
    _splashView->setAttribute(Qt::WA_StyledBackground);

    auto* content = new VQDropView(_splashView);
    content->setObjectName("splashViewContent");
    content->setBackgroundColor(QColor(30, 34, 40));
    if (!_splashDropDelegate) _splashDropDelegate = std::make_shared<SplashDropDelegate>(this);
    content->setDelegate(_splashDropDelegate.get());
    _splashViewContent = content;

    label(content, "appName", "Opalene", "color: white; font: bold 34px 'Helvetica';");
    label(content, "textFieldWelcome", localized("Photo effects for your pictures"),
          "color: rgb(170, 178, 188); font: 14px 'Helvetica';");
    auto* drag = new DragImageView(content);
    drag->setObjectName("viewDragImage");
    label(drag, "dragText", localized("Drop a photo here"),
          "color: rgb(170, 178, 188); font: 14px 'Helvetica';");
    label(content, "splashMessageTextField", QString(), "color: rgb(230, 120, 110); font: 12px 'Helvetica';");
    auto* recents = label(content, "recentsButtonImageView", QString(), "background: transparent;");
    recents->resize(72, 72);

    auto button = [content](const char* name, const char* title, int width) {
        auto* b = new KXButton(content);
        b->setObjectName(name);
        b->setTitle(title);
        b->resize(width, 28);
        b->initialize();
        return b;
    };
    KXButton* open = button("splashOpenImageButton", "Open…", 120);
    KXButton* recent = button("splashOpenRecentButton", "Open Recent", 120);
    KXButton* import = button("splashImportPhotoButton", "Import from Camera", 160);
    KXButton* close = button("splashCloseButton", "Close", 64);
    QObject::connect(open, &QAbstractButton::clicked, this, [this] { openImageFromSplashClick(); });
    QObject::connect(recent, &QAbstractButton::clicked, this, [this] { openRecentFromSplashClick(); });
    QObject::connect(import, &QAbstractButton::clicked, this, [this] {
        if (importFromCamera) importFromCamera();
    });
    QObject::connect(close, &QAbstractButton::clicked, this, [this] { closeSplashClick(); });
    label(content, "splashVersionLabel", QString("version ") + OPALENE_VERSION,
          "color: rgb(110, 118, 128); font: 11px 'Helvetica';");
}

void RivorezIduvivViewController::layoutSplashView() {
    if (!_splashView) return;
    // Over everything: the top bar and the browser raise themselves on each layout.
    _splashView->setGeometry(_contentView->rect());
    _splashView->raise();
    QWidget* content = _splashViewContent;
    content->setGeometry((_contentView->width() - kContentWidth) / 2,
                         (_contentView->height() - kContentHeight) / 2, kContentWidth, kContentHeight);
    auto child = [content](const char* name) { return content->findChild<QWidget*>(name); };
    child("appName")->setGeometry(0, 30, kContentWidth, 44);
    child("textFieldWelcome")->setGeometry(0, 76, kContentWidth, 22);
    QWidget* drag = child("viewDragImage");
    drag->setGeometry(50, 116, kContentWidth - 100, 130);
    drag->findChild<QWidget*>("dragText")->setGeometry(0, 80, drag->width(), 24);
    child("splashMessageTextField")->setGeometry(0, 252, kContentWidth, 18);

    // The visible buttons in one centred row; the recent thumbnail sits on the left of the row.
    std::vector<QWidget*> row;
    QWidget* recents = child("recentsButtonImageView");
    if (!recents->isHidden()) row.push_back(recents);
    for (const char* name : {"splashOpenImageButton", "splashOpenRecentButton", "splashImportPhotoButton"})
        if (!child(name)->isHidden()) row.push_back(child(name));
    int total = -12;
    for (QWidget* w : row)
        total += w->width() + 12;
    int x = (kContentWidth - total) / 2;
    const int rowMiddle = 318;
    for (QWidget* w : row) {
        w->move(x, rowMiddle - w->height() / 2);
        x += w->width() + 12;
    }
    QWidget* close = child("splashCloseButton");
    close->move(kContentWidth - close->width() - 12, 12);
    child("splashVersionLabel")->setGeometry(0, kContentHeight - 28, kContentWidth, 18);
}
