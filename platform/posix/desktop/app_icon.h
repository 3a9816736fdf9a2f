// The program's icon group ICON_1 as a Qt icon, every size of it.
#pragma once

#include <QIcon>

namespace desktop {

QIcon AppIcon();

}  // namespace desktop
