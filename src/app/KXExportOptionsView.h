#pragma once
// The options under the file controls of the save panel: the file type, and for the types that
// have them the quality (JPEG, JPEG 2000) or the TIFF compression and depth. It turns the choices
// and the image's own metadata into the property dictionary handed to imageio::ImageDestination,
// and remembers the last type chosen under "PreviousExportImageTypeKey".
//
// Use: make a QFileDialog, then
//   auto options = KXExportOptionsView::exportOptionsViewWithMetadata(properties, type, depth);
//   options->addViewToSavePanel(panel);
// and after the panel is accepted write with options->type() and options->imageProperties().
// Make the panel first: the view sits inside it and must be destroyed before it.
#include "platform/foundation/Value.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QFileDialog;
class QLabel;
class QSlider;
class QStackedWidget;

class KXExportOptionsView : public QWidget {
  public:
    static constexpr const char* kPreviousExportImageTypeKey = "PreviousExportImageTypeKey";
    // Option pages.
    enum Page { kNoOptionsPage = 0, kQualityPage = 1, kTiffPage = 2 };
    // Steps of the quality slider between 0 and 1.
    static constexpr int kQualitySteps = 1000;

    // A view set up for the image's properties, a type (empty: the remembered one) and a depth (8
    // or 16). Never null: the layout is built in code.
    static std::unique_ptr<KXExportOptionsView>
    exportOptionsViewWithMetadata(const foundation::Dictionary& metadata, const std::string& saveType,
                                  int depth);
    KXExportOptionsView();
    ~KXExportOptionsView() override;

    void initializeWithMetadata(const foundation::Dictionary& metadata, const std::string& type, int depth);
    // Puts the view under the panel's file controls (the panel must not use the desktop's native
    // dialog) and lets the panel save only the current type.
    void addViewToSavePanel(QFileDialog& panel);

    // The writable types: what the image layer can write, in its order, less the ten types the
    // program does not offer.
    static const std::vector<std::string>& saveTypes();
    // One display name per save type, same order.
    static const std::vector<std::string>& readableSaveTypes();

    const std::string& type() const { return _type; }
    const foundation::Dictionary& metadata() const { return _metadata; }
    // 16 for TIFF with 16 bits chosen and for JPEG 2000, else 8.
    int depth() const;
    bool showsDepthsSelection() const { return _showsDepthsSelection; }
    void setShowsDepthsSelection(bool shows);
    // What the writer receives: the metadata, a "{TIFF}" dictionary, the quality (0.85 until the
    // slider moves), the TIFF compression and the depth of the moment.
    foundation::Dictionary imageProperties();
    void setImageProperties(const foundation::Dictionary& properties) { _imageProperties = properties; }

    // Menu and slider actions.
    void typeDidChange();
    void qualityDidChange();
    void compressionDidChange();

    QComboBox* popUpButton() const { return _popUpButton; }
    QStackedWidget* tabView() const { return _tabView; }
    QSlider* qualitySlider() const { return _qualitySlider; }
    QComboBox* compressionPopUpButton() const { return _compressionPopUpButton; }
    QComboBox* depthPopUpButton() const { return _depthPopUpButton; }
    QLabel* depthTextField() const { return _depthTextField; }

  private:
    void createView();
    foundation::Dictionary& properties(); // built on first use
    void restrictPanelToType();

    QComboBox* _popUpButton = nullptr;
    QStackedWidget* _tabView = nullptr;
    QSlider* _qualitySlider = nullptr;
    QComboBox* _compressionPopUpButton = nullptr;
    QComboBox* _depthPopUpButton = nullptr;
    QLabel* _depthTextField = nullptr;

    std::string _type;
    foundation::Dictionary _metadata;
    std::optional<foundation::Dictionary> _imageProperties;
    bool _showsDepthsSelection = true;
};
