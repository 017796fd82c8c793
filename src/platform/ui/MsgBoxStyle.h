#pragma once

namespace ui {

// Message-box styles and results as bit flags and fixed numbers, so a
// call reads msgBox(text, vbYesNo | vbQuestion | vbDefaultButton2).

// Buttons (low three bits).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;

// Icons.
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;

// Default button.
inline constexpr int vbDefaultButton1 = 0;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;
inline constexpr int vbDefaultButton4 = 768;

// Modality (every box here is application modal; the value is accepted and ignored).
inline constexpr int vbApplicationModal = 0;
inline constexpr int vbSystemModal = 4096;

inline constexpr int vbButtonsMask = 0x7;
inline constexpr int vbIconMask = 0x70;
inline constexpr int vbDefaultMask = 0x300;

// Results: the button pressed.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

} // namespace ui
