#pragma once
// The About box as both windows lay it out: its size and each control's rectangle in
// dialog units (x, y, width, height). Plain defines, so that the resource script reads
// them as the Qt window does.

#define KX_ABOUT_SIZE 235, 55

#define KX_ABOUT_ICON_RECT 11, 17, 20, 20
#define KX_ABOUT_VERSION_RECT 40, 10, 133, 8
#define KX_ABOUT_COPYRIGHT_RECT 40, 25, 188, 8
#define KX_ABOUT_OK_RECT 178, 7, 50, 14
