// PLACEHOLDER (being written): the instrument panel.
#include "panel/panel.h"

namespace brambleshot {

HudPanel hudPanel;

void buildPanelLists() {}
void drawPanel(bool, int, int, int, int, int) {}

}  // namespace brambleshot
