#include "controls/KXJRVTopBarView.h"

KXJRVTopBarView* KXJRVTopBarView::topBarViewWithOwner(QWidget* owner) {
    return new KXJRVTopBarView(owner);
}
