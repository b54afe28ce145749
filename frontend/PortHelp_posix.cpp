#include "frontend/PortHelp.h"

const char* const PortHelp =
    ". Порту COMn соответствует устройство, на которое указывает ссылка COMn в папке "
    "~/.config/Halvstad/ports (например, на /dev/ttyUSB0), а без такой ссылки — n-й найденный "
    "последовательный порт (см. README);\n"
    "• что ваш пользователь входит в группу dialout (sudo usermod -aG dialout $USER, "
    "затем войдите в систему заново).";
