#include "shell/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initShellQrc()
{
    Q_INIT_RESOURCE(shell);
}

namespace gm::shell {

void initShellResources()
{
    static const bool done = [] {
        initShellQrc();
        return true;
    }();
    (void)done;
}

}  // namespace gm::shell
