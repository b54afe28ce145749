#pragma once
// The test call's dialog as both windows lay it out: its size and each control's
// rectangle in dialog units (x, y, width, height; the drop-down's height holds its open
// list). Plain defines, so that the resource script reads them as the Qt window does.

#define KX_CALL_SIZE 186, 102

#define KX_CALL_NUMBER_PROMPT_RECT 7, 7, 172, 8
#define KX_CALL_NUMBER_RECT 7, 18, 172, 12
#define KX_CALL_PORT_PROMPT_RECT 7, 36, 172, 8
#define KX_CALL_PORT_RECT 7, 46, 172, 120
#define KX_CALL_RESTART_RECT 7, 64, 172, 10
#define KX_CALL_OK_RECT 73, 80, 50, 14
#define KX_CALL_CANCEL_RECT 129, 80, 50, 14
