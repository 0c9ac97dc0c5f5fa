#include "gui/GuiText.h"

#include "app/StringTable.h"

namespace printdeck {

QString GuiString(int id) {
    return QString::fromStdString(LoadString(id));
}

}  // namespace printdeck
