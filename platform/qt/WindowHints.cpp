#include "platform/WindowHints.h"

namespace platform {

void keepOutOfTaskbar(QWindow *) {}

} // namespace platform
