#pragma once
// The older list cell of an effect or preset: a content view with the thumbnail (a busy indicator
// while it is made), the name, a number, and a favourite star for effects or edit, delete and
// share buttons for presets. The cell places its content view into the list view it draws in.
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>

class CustomPreset;
class KXButton;
class KXCellImageView;
class KXFilterTableViewCell;
class PostProcess;
class QLabel;
class QLineEdit;
class QProgressBar;

class KXFilterTableViewCellDelegate {
  public:
    virtual ~KXFilterTableViewCellDelegate() = default;
    virtual void deletePreset(KXFilterTableViewCell* cell, std::shared_ptr<CustomPreset> preset) = 0;
    virtual void sharePresetButtonClickWithPreset(KXFilterTableViewCell* cell,
                                                  std::shared_ptr<CustomPreset> preset) = 0;
};

class KXFilterTableViewCell : public QObject {
    Q_OBJECT
  public:
    static KXFilterTableViewCell* initTextCellWithPostProcess(PostProcess* effect);
    static KXFilterTableViewCell* initTextCellWithCustomPreset(std::shared_ptr<CustomPreset> preset);
    ~KXFilterTableViewCell() override;

    void favoritesButtonClick();
    void editButtonClick();
    // The name field's end of editing: back to read-only, the title "Edit" again.
    bool textShouldEndEditing();
    void deleteButtonClick();
    void shareButtonClick();
    void validatePreviewImage();
    // Puts the content view into `controlView` at `frame` (a list with a disclosure column starts
    // 32 points further left and is 32 wider), hiding the list's other views it covers there.
    void drawWithFrame(const QRect& frame, QWidget* controlView, bool outlineView);

    KXFilterTableViewCellDelegate* delegate() const { return _delegate; }
    void setDelegate(KXFilterTableViewCellDelegate* delegate) { _delegate = delegate; }
    PostProcess* postProcess() const { return _postProcess; }
    const std::shared_ptr<CustomPreset>& customPreset() const { return _customPreset; }
    QWidget* contentView() const { return _contentView; }
    QLineEdit* effectNameTextField() const { return _effectNameTextField; }
    QLabel* effectNumberTextField() const { return _effectNumberTextField; }
    KXButton* favoritesButton() const { return _favoritesButton; }
    KXButton* editButton() const { return _editButton; }
    KXButton* deleteButton() const { return _deleteButton; }
    KXButton* shareButton() const { return _shareButton; }
    QProgressBar* progressIndicator() const { return _progressIndicator; }
    KXCellImageView* previewImageView() const { return _previewImageView; }
    int64_t row() const { return _row; }
    void setRow(int64_t row) { _row = row; }

  private:
    KXFilterTableViewCell();
    void observe(const char* notification, const void* object);

    KXFilterTableViewCellDelegate* _delegate = nullptr;
    PostProcess* _postProcess = nullptr;
    std::shared_ptr<CustomPreset> _customPreset;
    QPointer<QWidget> _contentView; // may end with the list it was placed in
    KXCellImageView* _previewImageView = nullptr;
    QLabel* _backgroundImageView = nullptr;
    QLineEdit* _effectNameTextField = nullptr;
    QLabel* _effectNumberTextField = nullptr;
    KXButton* _favoritesButton = nullptr;
    KXButton* _deleteButton = nullptr;
    KXButton* _editButton = nullptr;
    KXButton* _shareButton = nullptr;
    QProgressBar* _progressIndicator = nullptr;
    int64_t _row = -1;
};
