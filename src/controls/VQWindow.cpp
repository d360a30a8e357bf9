#include "controls/VQWindow.h"

#include "controls/SharedBundle.h"

VQWindow::VQWindow(QWidget* parent) : KXAbstractDimmWindow(parent) {
    setPatternImage(imageNamedAdditional("jrv_top_bar"));
}
