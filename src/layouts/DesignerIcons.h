#pragma once

#include <QIcon>
#include <QString>

// The pictures of the layout designer's toolbar buttons, drawn here so the
// program carries no image files. Looked up by the button's key
// ("tFoBold", "tbxLine", ...); an unknown key gives an empty icon.
namespace DesignerIcons {

QIcon icon(const QString& key);

} // namespace DesignerIcons
