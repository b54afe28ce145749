#include "frontend/PortHelp.h"

std::string gPortHelp() {
    return ": он должен совпадать с тем, что Диспетчер устройств показывает у модема в разделе "
           "«Порты (COM и LPT)», например «USB Serial Port (COM3)»;\n"
           "• что порт не занят другой программой.";
}
