#pragma once
// One column of the effect browser: an effect's (or preset's) live thumbnail over a placeholder
// while it is made, the item's name, and a highlight when selected. Thumbnails fade in; a new one
// cross-fades through the placeholder.
#include "platform/graphics/Image.h"

#include <QImage>
#include <QWidget>
#include <memory>

class CustomPreset;
class KXButton;
class PostProcess;
class QLabel;
class KXTableViewCell;

class KXTableViewCellDelegate {
  public:
    virtual ~KXTableViewCellDelegate() = default;
    virtual void deleteButtonClickInTableViewCell(KXTableViewCell*) {}
    virtual void editButtonClickInTableViewCell(KXTableViewCell*) {}
};

// Shows one picture centred in its frame, clipped to it.
class KXCellImageView : public QWidget {
    Q_OBJECT
  public:
    explicit KXCellImageView(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setImage(const QImage& image) {
        _image = image;
        update();
    }
    const QImage& image() const { return _image; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QImage _image;
};

class KXTableViewCell : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 180, kHeight = 140, kPresetWidth = 224;

    // A cell for an effect (`frame` in the strip, Qt coordinates).
    static KXTableViewCell* makeCellWithFrame(const QRect& frame, PostProcess* effect);
    // A cell for a preset, with edit and delete buttons.
    static KXTableViewCell* makeCellWithFrame(const QRect& frame, std::shared_ptr<CustomPreset> preset);
    ~KXTableViewCell() override;

    bool isSelected() const { return _isSelected; }
    void setSelected(bool selected);
    void validatePreviewImage();
    // Scaled to cover the placeholder's frame, keeping its aspect ratio.
    QImage properSizedImageForImage(const QImage& image) const;
    void setOriginalImage(const QImage& image);

    void deleteButtonClick();
    void editButtonClick();

    KXTableViewCellDelegate* delegate() const { return _delegate; }
    void setDelegate(KXTableViewCellDelegate* delegate) { _delegate = delegate; }
    PostProcess* postProcess() const { return _postProcess; }
    const std::shared_ptr<CustomPreset>& customPreset() const { return _customPreset; }
    QLabel* nameTextField() const { return _nameTextField; }
    int64_t customTag() const { return _customTag; }
    void setCustomTag(int64_t tag) { _customTag = tag; }
    int64_t tag() const { return _customTag; }

    KXCellImageView* previewImageView() const { return _previewImageView; }
    KXCellImageView* originalImageView() const { return _originalImageView; }
    QWidget* backgroundViewSelected() const { return _backgroundViewSelected; }
    KXButton* deleteButton() const { return _deleteButton; }
    KXButton* editButton() const { return _editButton; }

  private:
    explicit KXTableViewCell(const QRect& frame);
    void observe(const char* notification, const void* object);
    graphics::ImagePtr currentPreview() const;

    KXCellImageView* _previewImageView = nullptr;
    KXCellImageView* _originalImageView = nullptr;
    QWidget* _backgroundViewSelected = nullptr;
    QLabel* _nameTextField = nullptr;
    KXButton* _deleteButton = nullptr;
    KXButton* _editButton = nullptr;
    KXTableViewCellDelegate* _delegate = nullptr;
    PostProcess* _postProcess = nullptr;
    std::shared_ptr<CustomPreset> _customPreset;
    bool _isSelected = false;
    int64_t _customTag = 0;
};
