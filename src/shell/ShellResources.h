#pragma once

namespace korvan::shell {

// Registers the shell's pictures (":/korvan/..."), which live in a static
// library. Safe to call more than once.
void initShellResources();

} // namespace korvan::shell
