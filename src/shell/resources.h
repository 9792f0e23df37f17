// Registers the shell's embedded pictures (title picture, icon).
#pragma once

namespace gm::shell {
void initShellResources();
}
