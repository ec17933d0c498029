#pragma once
// The tool's window icon: a radar dish sending waves, drawn at the sizes a
// desktop asks for (the same picture as res/vestrel-tool.svg).

#include <QIcon>

[[nodiscard]] QIcon MakeAppIcon();
