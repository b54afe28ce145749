#pragma once

// Controls of the main window, by the ids the engine and the window share.
namespace ControlId {
inline constexpr int ComSelector = 1000;
inline constexpr int StartStop = 1001;
inline constexpr int StatusLine = 1002;
inline constexpr int SpeedSelector = 1003;
inline constexpr int ModelSelector = 1004;
inline constexpr int PlaceSelector = 1005;
inline constexpr int LogView = 1006;
inline constexpr int SaveLog = 1009;
}  // namespace ControlId
