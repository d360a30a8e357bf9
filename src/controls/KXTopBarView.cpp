#include "controls/KXTopBarView.h"

KXTopBarView* KXTopBarView::topBarViewWithOwner(QWidget* owner) {
    return new KXTopBarView(owner);
}
