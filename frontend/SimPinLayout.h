#pragma once
// The PIN dialog as both windows lay it out: its size and each control's rectangle in
// dialog units (x, y, width, height). Plain defines, so that the resource script reads
// them as the Qt window does.

#define KX_PIN_SIZE 186, 62

#define KX_PIN_PROMPT_RECT 7, 7, 172, 8
#define KX_PIN_FIELD_RECT 7, 18, 172, 12
#define KX_PIN_OK_RECT 73, 40, 50, 14
#define KX_PIN_CANCEL_RECT 129, 40, 50, 14
