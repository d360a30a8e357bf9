#pragma once
// What a VQTextView accepts, by style: the whole proposed text is checked on every keystroke.
// A plain class so the rules are tested without a widget.
#include <QString>
#include <cstdint>
#include <optional>

struct VQTextViewSliderParams {
    int64_t minValue = 0, maxValue = 0;
    bool showNegativeValue = false;
};

class VQTextViewRules {
  public:
    enum Style : int32_t {
        kPresetName = 0,
        kBoundedInteger = 1,
        kSearch = 2,
        kLongText = 3,
        kSliderValue = 4
    };

    struct Decision {
        bool accept = false;
        // Style 4 only: the text the field shows instead (the bound that was passed), then committed.
        std::optional<QString> forcedText;
        // Return or Tab: editing ends instead.
        bool endEditing = false;
    };

    int32_t style = kPresetName;
    std::optional<VQTextViewSliderParams> params; // from the text delegate, on focus

    // `current` is the text before the change; the change replaces [start, start + length) by
    // `replacement` (unset: an attribute-only change).
    Decision shouldChange(const QString& current, int start, int length,
                          const std::optional<QString>& replacement) const;

    // The validation of a whole proposed text, given the text shown now (style 4 compares with it).
    Decision isCorrectedString(const QString& proposed, const QString& current) const;

    // The platform's integer value of a text: leading blanks, an optional sign, then digits; 0 when
    // none.
    static int64_t integerValue(const QString& text);
};
