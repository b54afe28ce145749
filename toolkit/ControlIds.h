#pragma once

#include "toolkit/ControlIdNumbers.h"

// Controls of the main window, by the ids the engine and the window share.
namespace ControlId {
inline constexpr int ComSelector = KX_ID_COM_SELECTOR;
inline constexpr int StartStop = KX_ID_START_STOP;
inline constexpr int StatusLine = KX_ID_STATUS_LINE;
inline constexpr int SpeedSelector = KX_ID_SPEED_SELECTOR;
inline constexpr int ModelSelector = KX_ID_MODEL_SELECTOR;
inline constexpr int PlaceSelector = KX_ID_PLACE_SELECTOR;
inline constexpr int LogView = KX_ID_LOG_VIEW;
inline constexpr int SaveLog = KX_ID_SAVE_LOG;
}  // namespace ControlId
