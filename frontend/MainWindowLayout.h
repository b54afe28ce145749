#pragma once
// The main window as both windows lay it out: its size and each control's rectangle in
// dialog units (x, y, width, height; a drop-down's height holds its open list), the
// labels' and buttons' texts, and the place selector's entries. Plain defines, so that
// the resource script reads them as the Qt window does. The labels are a few units wider
// than their text at 96 DPI: the font's rounding at 120 and 192 DPI would otherwise wrap
// their last word out of sight.

#include "toolkit/ControlIdNumbers.h"

#define KX_MAIN_SIZE 306, 218

#define KX_COM_LABEL_TEXT "СОМ порт, к которому подключен модем:"
#define KX_COM_LABEL_RECT 7, 3, 148, 8
#define KX_COM_SELECTOR_RECT 7, 14, 142, 176
#define KX_START_STOP_TEXT "Старт!"
#define KX_START_STOP_RECT 7, 183, 227, 14
#define KX_STATUS_LINE_RECT 7, 201, 292, 10
#define KX_SPEED_LABEL_TEXT "Скорость СОМ-порта прибора (бит/сек.):"
#define KX_SPEED_LABEL_RECT 157, 3, 142, 8
#define KX_SPEED_SELECTOR_RECT 157, 15, 142, 127
#define KX_MODEL_LABEL_TEXT "Тип используемого модема:"
#define KX_MODEL_LABEL_RECT 7, 28, 98, 8
#define KX_MODEL_SELECTOR_RECT 7, 37, 142, 150
#define KX_PLACE_LABEL_TEXT "Место подключения:"
#define KX_PLACE_LABEL_RECT 157, 28, 80, 8
#define KX_PLACE_SELECTOR_RECT 157, 37, 142, 127
#define KX_SEPARATOR_RECT 7, 55, 292, 1
#define KX_LOG_VIEW_RECT 7, 59, 292, 115
#define KX_SAVE_LOG_TEXT "Сохранить лог"
#define KX_SAVE_LOG_RECT 235, 183, 64, 14

// The log's one column: its heading. It leaves its window's scroll bar room.
#define KX_LOG_HEADING "Операция"

// The place selector's entries, index 0 and 1 as the stored IsLocal. The layout carries
// them as code page 1251 bytes with their closing zero, which a resource compiler cannot
// make from UTF-8; a test holds the two forms equal.
#define KX_PLACE_AT_DEVICE "Подключение к прибору"
#define KX_PLACE_AT_COMPUTER "Подключение к компьютеру"
#define KX_PLACE_AT_DEVICE_CP1251 "\xcf\xee\xe4\xea\xeb\xfe\xf7\xe5\xed\xe8\xe5 \xea \xef\xf0\xe8\xe1\xee\xf0\xf3\0"
#define KX_PLACE_AT_DEVICE_CP1251_SIZE 22L
#define KX_PLACE_AT_COMPUTER_CP1251 \
    "\xcf\xee\xe4\xea\xeb\xfe\xf7\xe5\xed\xe8\xe5 \xea \xea\xee\xec\xef\xfc\xfe\xf2\xe5\xf0\xf3\0"
#define KX_PLACE_AT_COMPUTER_CP1251_SIZE 25L
