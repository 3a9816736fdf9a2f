#include "platform/posix/desktop/app_icon.h"

#include "platform/dialog_template.h"

#include <QImage>
#include <QPixmap>

namespace desktop {

QIcon AppIcon() {
  QIcon icon;
  for (const ui::IconImage& image : ui::LoadIconGroup("ICON_1")) {
    QImage picture(image.size, image.size, QImage::Format_ARGB32);
    for (int y = 0; y < image.size; ++y)
      for (int x = 0; x < image.size; ++x)
        picture.setPixel(x, y, image.pixels[static_cast<std::size_t>(y) * image.size + x]);
    icon.addPixmap(QPixmap::fromImage(picture));
  }
  return icon;
}

}  // namespace desktop
