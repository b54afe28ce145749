#pragma once
// Resource ids shared by the resource script and the code. Plain defines: the resource
// compiler reads this file too. The main window's control ids are those of
// toolkit/ControlIdNumbers.h.

#define IDD_ABOUT 100
#define IDD_MODEM_SETUP 102
#define IDD_SIM_PIN 103
#define IDD_TEST_CALL 104
#define IDI_MODEM 128

#define IDC_COPYRIGHT_TEXT 1007
#define IDC_VERSION_TEXT 1008
#define IDC_PIN_PROMPT 1010
#define IDC_PIN_FIELD 1011
#define IDC_CALL_NUMBER_PROMPT 1012
#define IDC_CALL_NUMBER 1013
#define IDC_CALL_PORT_PROMPT 1014
#define IDC_CALL_PORT 1015
#define IDC_CALL_RESTART 1016

// The resource type that carries a dialog's initial drop-down entries.
#define RT_DIALOG_INIT 240
