#include "frontend/PortHelp.h"

const char* const PortHelp =
    ": он должен совпадать с тем, что Диспетчер устройств показывает у модема в разделе "
    "«Порты (COM и LPT)», например «USB Serial Port (COM3)»;\n"
    "• что порт не занят другой программой.";
