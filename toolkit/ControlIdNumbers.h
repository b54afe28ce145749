#pragma once
// The main window's control ids as plain defines, so that a resource script reads the
// same numbers as the code; the code names them through ControlIds.h.

#define KX_ID_COM_SELECTOR 1000
#define KX_ID_START_STOP 1001
#define KX_ID_STATUS_LINE 1002
#define KX_ID_SPEED_SELECTOR 1003
#define KX_ID_MODEL_SELECTOR 1004
#define KX_ID_PLACE_SELECTOR 1005
#define KX_ID_LOG_VIEW 1006
#define KX_ID_SAVE_LOG 1009
