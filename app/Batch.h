#pragma once
// Rendering a study without a window: --study FILE --image OUT.

#include <QString>

struct CommandLine;

// Returns an error text naming what failed, empty when the image was written.
[[nodiscard]] QString RenderStudy(const CommandLine& cl);
