#pragma once
// The kit's push button, drawn from bundle artwork: per-state images by name, an enabled state of
// its own (a disabled button shows its disabled image crisply and ignores clicks), a localised
// title in the kit's light grey with an optional icon centred beside it, an optional drop-down
// arrow, and a momentary mode that shows its pressed state between mouse down and mouse up.
#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QVariant>
#include <optional>
#include <string>

class QLabel;

class KXButton : public QAbstractButton {
    Q_OBJECT
  public:
    // Set-up runs at the next turn of the event loop, so properties given right after creation
    // are in place by then; `initialize()` may also be called at once.
    explicit KXButton(QWidget* parent = nullptr);

    void initialize();
    bool isInitialized() const { return _initialized; }

    QVariant presetType() const { return _presetType; }
    void setPresetType(QVariant type) { _presetType = std::move(type); }
    bool dropDown() const { return _dropDown; }
    void setDropDown(bool on) { _dropDown = on; }
    const std::string& disabledImageName() const { return _disabledImageName; }
    void setDisabledImageName(std::string name) { _disabledImageName = std::move(name); }
    const std::string& highlightedImageName() const { return _highlightedImageName; }
    void setHighlightedImageName(std::string name) { _highlightedImageName = std::move(name); }
    const std::string& iconImageName() const { return _iconImageName; }
    void setIconImageName(std::string name) { _iconImageName = std::move(name); }
    bool hasMomentaryStyle() const { return _hasMomentaryStyle; }
    void setHasMomentaryStyle(bool on) { _hasMomentaryStyle = on; }
    double baselineOffset() const { return _baselineOffset; }
    void setBaselineOffset(double offset) { _baselineOffset = offset; }
    double horizontalOffset() const { return _horizontalOffset; }
    void setHorizontalOffset(double offset) { _horizontalOffset = offset; }
    QColor buttonFontColor() const { return _buttonFontColor; }
    void setButtonFontColor(QColor colour) { _buttonFontColor = colour; }
    QColor selectedButtonFontColor() const { return _selectedButtonFontColor.value_or(_buttonFontColor); }
    void setSelectedButtonFontColor(QColor colour) { _selectedButtonFontColor = colour; }
    Qt::Alignment alignment() const { return _alignment; }
    void setAlignment(Qt::Alignment alignment) { _alignment = alignment; }

    // The normal-state picture; without one, set-up draws the three-part button background.
    QImage image() const { return _image; }
    void setImage(const QImage& image);
    QImage defaultImage() const { return _defaultImage; }

    // Titles are localised; the alternate title shows while the button is on.
    QString title() const { return _titleKey; }
    void setTitle(const QString& key);
    QString alternateTitle() const { return _alternateTitleKey; }
    void setAlternateTitle(const QString& key);
    QString displayedTitle() const { return _title; }

    // The button's own enabled state (hides QWidget's: the widget stays enabled when a disabled
    // picture exists, so that picture draws at full strength).
    bool isEnabled() const { return _isEnabledInternally; }
    void setEnabled(bool enabled);
    bool isHighlighted() const { return _isHighlighted; }
    void highlightOnMouse(bool highlighted);

    // NSButton's state: on (1) or off (0).
    int state() const { return _state; }
    void setState(int state);

    QLabel* iconImageView() const { return _iconImageView; }
    QLabel* dropDownArrowView() const { return _arrowView; }
    // The picture the button currently shows.
    QImage displayedImage() const { return _displayedImage; }
    // Where the title's text starts, in points from the left edge (after the icon layout).
    double titleIndent() const { return _titleIndent; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void validateState();
    void layoutTitle();
    void setIconAlpha(double alpha);

    QVariant _presetType;
    bool _dropDown = false;
    std::string _disabledImageName, _highlightedImageName, _iconImageName;
    bool _hasMomentaryStyle = false;
    double _baselineOffset = 0, _horizontalOffset = 0;
    QColor _buttonFontColor = QColor::fromRgbF(0.95f, 0.95f, 0.95f, 1.0f);
    std::optional<QColor> _selectedButtonFontColor;
    Qt::Alignment _alignment = Qt::AlignHCenter;
    QImage _image, _defaultImage, _displayedImage;
    QString _titleKey, _alternateTitleKey, _title, _alternateTitle;
    double _titleIndent = 0;
    Qt::Alignment _titleAlignment = Qt::AlignHCenter;
    bool _isEnabledInternally = true;
    bool _isHighlighted = false;
    int _state = 0;
    bool _initialized = false;
    bool _tracksMouse = false; // only a button with a picture of its own highlights on hover
    QLabel* _iconImageView = nullptr;
    QImage _iconImage;
    QLabel* _arrowView = nullptr;
};
