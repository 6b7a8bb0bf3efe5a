#include "shell/ShellResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerKorvanResources()
{
    Q_INIT_RESOURCE(korvan);
}

namespace korvan::shell {

void initShellResources()
{
    static const bool registered = [] {
        registerKorvanResources();
        return true;
    }();
    (void)registered;
}

} // namespace korvan::shell
