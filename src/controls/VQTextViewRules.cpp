#include "controls/VQTextViewRules.h"

#include <limits>

int64_t VQTextViewRules::integerValue(const QString& text) {
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        // Saturate as the platform does rather than wrap.
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

VQTextViewRules::Decision VQTextViewRules::isCorrectedString(const QString& proposed,
                                                             const QString& current) const {
    Decision decision;
    switch (style) {
    case kPresetName:
    case kSearch:
        decision.accept = proposed.size() < 32;
        return decision;
    case kLongText:
        decision.accept = proposed.size() < 76;
        return decision;
    case kBoundedInteger: {
        decision.accept = proposed.size() <= 5;
        for (QChar c : proposed)
            if (c < u'0' || c > u'9') decision.accept = false;
        return decision;
    }
    case kSliderValue: {
        const int64_t lo = params ? params->minValue : 0, hi = params ? params->maxValue : 0;
        int64_t p = integerValue(proposed);
        if (integerValue(current) == hi && p > hi) return decision;
        decision.accept = true;
        QString text = proposed;
        if (lo < 1 && p < lo) {
            decision.accept = false;
            text = QString::number(lo);
            decision.forcedText = text;
            p = hi; // the bound test below counts the proposal as the maximum
        }
        if (p > hi) {
            decision.accept = false;
            text = QString::number(hi);
            decision.forcedText = text;
        }
        for (QChar c : text)
            if (c != u'-' && (c < u'0' || c > u'9')) {
                decision.accept = false;
                decision.forcedText.reset();
            }
        return decision;
    }
    default:
        decision.accept = true;
        return decision;
    }
}

VQTextViewRules::Decision VQTextViewRules::shouldChange(const QString& current, int start, int length,
                                                        const std::optional<QString>& replacement) const {
    Decision decision;
    if (!replacement) return decision;
    if (*replacement == "\n" || *replacement == "\t" || *replacement == "\r") {
        decision.endEditing = true;
        return decision;
    }
    QString proposed = current;
    proposed.replace(start, length, *replacement);
    decision = isCorrectedString(proposed, current);
    if (replacement->contains(u'-')) {
        const bool atStart = start == 0 && replacement->indexOf(u'-') == 0 && replacement->count(u'-') == 1;
        if (!atStart || !(params && params->showNegativeValue)) {
            decision.accept = false;
            decision.forcedText.reset();
        }
    }
    return decision;
}
