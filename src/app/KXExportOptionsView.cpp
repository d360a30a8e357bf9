#include "app/KXExportOptionsView.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/TypeIdentifiers.h"
#include "platform/services/KXSLocalization.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QSlider>
#include <QStackedWidget>
#include <algorithm>
#include <cmath>

using foundation::Dictionary;
using foundation::Value;

namespace {

constexpr const char* kJpegType = "public.jpeg";
constexpr const char* kTiffType = "public.tiff";
constexpr const char* kJpeg2000Type = "public.jpeg-2000";
constexpr const char* kTiffDictionary = "{TIFF}";
constexpr const char* kTiffCompression = "Compression";
constexpr const char* kDepth = "Depth";
constexpr double kDefaultQuality = 0.85;

// Item 1 is the first choice.
struct Compression {
    const char* title;
    int code;
};
constexpr Compression kCompressions[] = {{"None", 1}, {"LZW", 5}, {"Deflate", 8}, {"PackBits", 32773}};

QString localized(const char* text) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(text, ""));
}

void rememberType(const std::string& type) {
    foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.setObject(Value(type), KXExportOptionsView::kPreviousExportImageTypeKey);
    defaults.synchronize();
}

int indexOfType(const std::string& type) {
    const auto& types = KXExportOptionsView::saveTypes();
    const auto it = std::find(types.begin(), types.end(), type);
    return it == types.end() ? -1 : int(it - types.begin());
}

} // namespace

const std::vector<std::string>& KXExportOptionsView::saveTypes() {
    static const std::vector<std::string> types = [] {
        static const char* const excluded[] = {
            "com.microsoft.bmp", "com.apple.icns", "com.sgi.sgi-image", "com.microsoft.ico",
            "public.pbm",        "public.pvr",     "com.apple.rjpeg",   "com.truevision.tga-image",
            "org.khronos.astc",  "org.khronos.ktx"};
        std::vector<std::string> writable;
        for (const std::string& type : imageio::destinationTypeIdentifiers())
            if (std::none_of(std::begin(excluded), std::end(excluded),
                             [&](const char* e) { return type == e; }))
                writable.push_back(type);
        return writable;
    }();
    return types;
}

const std::vector<std::string>& KXExportOptionsView::readableSaveTypes() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const std::string& type : saveTypes())
            list.push_back(imageio::displayName(type));
        return list;
    }();
    return names;
}

std::unique_ptr<KXExportOptionsView>
KXExportOptionsView::exportOptionsViewWithMetadata(const Dictionary& metadata, const std::string& saveType,
                                                   int depth) {
    auto view = std::make_unique<KXExportOptionsView>();
    view->initializeWithMetadata(metadata, saveType, depth);
    return view;
}

KXExportOptionsView::KXExportOptionsView() {
    createView();
}

KXExportOptionsView::~KXExportOptionsView() = default;

void KXExportOptionsView::createView() {
    auto* formatLabel = new QLabel(localized("Format:"), this);
    _popUpButton = new QComboBox(this);
    _popUpButton->setMinimumWidth(200);

    _tabView = new QStackedWidget(this);
    _tabView->addWidget(new QWidget(_tabView));

    auto* qualityPage = new QWidget(_tabView);
    auto* qualityLayout = new QHBoxLayout(qualityPage);
    qualityLayout->setContentsMargins(0, 0, 0, 0);
    _qualitySlider = new QSlider(Qt::Horizontal, qualityPage);
    _qualitySlider->setRange(0, kQualitySteps);
    _qualitySlider->setValue(int(std::lround(kDefaultQuality * kQualitySteps)));
    _qualitySlider->setMinimumWidth(200);
    qualityLayout->addWidget(new QLabel(localized("Quality:"), qualityPage));
    qualityLayout->addWidget(new QLabel(localized("Least"), qualityPage));
    qualityLayout->addWidget(_qualitySlider, 1);
    qualityLayout->addWidget(new QLabel(localized("Best"), qualityPage));
    _tabView->addWidget(qualityPage);

    auto* tiffPage = new QWidget(_tabView);
    auto* tiffLayout = new QHBoxLayout(tiffPage);
    tiffLayout->setContentsMargins(0, 0, 0, 0);
    _compressionPopUpButton = new QComboBox(tiffPage);
    for (const Compression& c : kCompressions)
        _compressionPopUpButton->addItem(localized(c.title), c.code);
    _depthTextField = new QLabel(localized("Depth:"), tiffPage);
    _depthPopUpButton = new QComboBox(tiffPage);
    _depthPopUpButton->addItem(localized("8 bits"), 8);
    _depthPopUpButton->addItem(localized("16 bits"), 16);
    tiffLayout->addWidget(new QLabel(localized("Compression:"), tiffPage));
    tiffLayout->addWidget(_compressionPopUpButton);
    tiffLayout->addSpacing(16);
    tiffLayout->addWidget(_depthTextField);
    tiffLayout->addWidget(_depthPopUpButton);
    tiffLayout->addStretch(1);
    _tabView->addWidget(tiffPage);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->addWidget(formatLabel, 0, 0, Qt::AlignRight);
    layout->addWidget(_popUpButton, 0, 1, Qt::AlignLeft);
    layout->addWidget(_tabView, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    connect(_popUpButton, qOverload<int>(&QComboBox::activated), this, [this] { typeDidChange(); });
    connect(_qualitySlider, &QSlider::valueChanged, this, [this] { qualityDidChange(); });
    connect(_compressionPopUpButton, qOverload<int>(&QComboBox::activated), this,
            [this] { compressionDidChange(); });
}

void KXExportOptionsView::initializeWithMetadata(const Dictionary& metadata, const std::string& type,
                                                 int depth) {
    _metadata = metadata;
    _showsDepthsSelection = true;

    std::string requested = type;
    if (requested.empty())
        requested = foundation::UserDefaults::standardUserDefaults()
                        .stringForKey(kPreviousExportImageTypeKey)
                        .value_or("");
    if (indexOfType(requested) >= 0) _type = requested;
    if (_type.empty()) _type = kJpegType;
    rememberType(_type);

    _popUpButton->clear();
    for (const std::string& name : readableSaveTypes())
        _popUpButton->addItem(QString::fromStdString(name));
    _popUpButton->setCurrentIndex(indexOfType(_type));
    typeDidChange();

    const auto quality = properties().find(imageio::kLossyCompressionQuality);
    if (quality != properties().end() && quality->second.getDouble()) {
        const QSignalBlocker blocker(_qualitySlider);
        _qualitySlider->setValue(int(std::lround(*quality->second.getDouble() * kQualitySteps)));
    } else {
        qualityDidChange();
    }

    _compressionPopUpButton->setCurrentIndex(1);
    compressionDidChange();

    _depthPopUpButton->setCurrentIndex(depth == 8 ? 0 : 1);
}

void KXExportOptionsView::addViewToSavePanel(QFileDialog& panel) {
    panel.setOption(QFileDialog::DontUseNativeDialog, true);
    panel.setAcceptMode(QFileDialog::AcceptSave);
    // The non-native panel lays its controls out in a grid: the view takes a full-width row below.
    if (auto* grid = qobject_cast<QGridLayout*>(panel.layout()))
        grid->addWidget(this, grid->rowCount(), 0, 1, grid->columnCount());
    else if (panel.layout())
        panel.layout()->addWidget(this);
    else
        setParent(&panel);
    show();
    restrictPanelToType();
}

int KXExportOptionsView::depth() const {
    if (_type == kTiffType && _depthPopUpButton->currentIndex() == 1) return 16;
    if (_type == kJpeg2000Type) return 16;
    return 8;
}

void KXExportOptionsView::setShowsDepthsSelection(bool shows) {
    if (shows == _showsDepthsSelection) return;
    _showsDepthsSelection = shows;
    _depthPopUpButton->setVisible(shows);
    _depthTextField->setVisible(shows);
}

Dictionary& KXExportOptionsView::properties() {
    if (!_imageProperties) {
        Dictionary built = _metadata;
        const Value* tiff = built.count(kTiffDictionary) ? &built.at(kTiffDictionary) : nullptr;
        built[kTiffDictionary] = Value(tiff && tiff->getDictionary() ? *tiff->getDictionary() : Dictionary{});
        built[imageio::kLossyCompressionQuality] = Value(kDefaultQuality);
        _imageProperties = std::move(built);
    }
    return *_imageProperties;
}

Dictionary KXExportOptionsView::imageProperties() {
    Dictionary& props = properties();
    props[kDepth] = Value(depth());
    return props;
}

void KXExportOptionsView::typeDidChange() {
    const int index = _popUpButton->currentIndex();
    if (index < 0 || index >= int(saveTypes().size())) return;
    _type = saveTypes()[size_t(index)];
    _tabView->setCurrentIndex(_type == kTiffType                               ? kTiffPage
                              : (_type == kJpegType || _type == kJpeg2000Type) ? kQualityPage
                                                                               : kNoOptionsPage);
    rememberType(_type);
    restrictPanelToType();
}

void KXExportOptionsView::qualityDidChange() {
    properties()[imageio::kLossyCompressionQuality] = Value(double(_qualitySlider->value()) / kQualitySteps);
}

void KXExportOptionsView::compressionDidChange() {
    Dictionary& props = properties();
    Value& tiff = props[kTiffDictionary];
    if (!tiff.getDictionary()) tiff = Value(Dictionary{});
    (*tiff.getDictionary())[kTiffCompression] = Value(_compressionPopUpButton->currentData().toInt());
}

void KXExportOptionsView::restrictPanelToType() {
    QWidget* ancestor = parentWidget();
    while (ancestor && !qobject_cast<QFileDialog*>(ancestor))
        ancestor = ancestor->parentWidget();
    auto* panel = qobject_cast<QFileDialog*>(ancestor);
    if (!panel) return;
    const std::vector<std::string> extensions = imageio::extensionsForType(_type);
    QStringList patterns;
    for (const std::string& extension : extensions)
        patterns << "*." + QString::fromStdString(extension);
    panel->setNameFilter(QString::fromStdString(imageio::displayName(_type)) + " (" + patterns.join(' ') +
                         ")");
    panel->setDefaultSuffix(extensions.empty() ? QString() : QString::fromStdString(extensions.front()));
}
