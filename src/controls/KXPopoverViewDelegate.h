#pragma once
class KXVQPopoverView;

// The owner of a popover list; every method is sent.
class KXPopoverViewDelegate {
  public:
    virtual ~KXPopoverViewDelegate() = default;
    virtual void didSelectCellAtIndex(KXVQPopoverView* popover, int index) = 0;
    // The popover is done. It is called from the popover's own event handlers: remove it with
    // deleteLater(), never delete it here.
    virtual void wantsRelease(KXVQPopoverView* popover, bool release) = 0;
    virtual bool hasBottomSeparatorAtIndex(KXVQPopoverView* popover, int index) = 0;
};
