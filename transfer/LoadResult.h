#pragma once

#include <QString>

// How a load of the radio ended: every frame left the line, something kept
// them from it, or the load was broken off. The controller's verdict and the
// journal's line are the same value.
enum class LoadResult { Done, Failed, Interrupted };

// 完成, 失败, 中断: the words the window, the journal and the reports use.
QString resultText(LoadResult result);
