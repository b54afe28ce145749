#include "serial/ComNames.h"

// On Windows the COM number is the device: no links, no scan. The "\\.\" form is the
// one that also reaches COM10 and above.
std::string gResolveComPort(int n) { return "\\\\.\\COM" + std::to_string(n); }
