#pragma once
// Resource ids shared by the resource script and the code. Plain defines: the resource
// compiler reads this file too. The main window's control ids are those of
// toolkit/ControlIds.h.

#define IDD_ABOUT 100
#define IDS_ABOUT_ITEM 101
#define IDD_MODEM_SETUP 102
#define IDI_MODEM 128

#define IDC_COPYRIGHT_TEXT 1007
#define IDC_VERSION_TEXT 1008

// The resource type that carries a dialog's initial drop-down entries.
#define RT_DIALOG_INIT 240
